#pragma once
// The library loaded by the program's registry over a test host: where the
// tests of parameters, saved state and settings dialogs start.
#include <gtest/gtest.h>

#include "kestrix_library.h"
#include "test_host.h"

class LibraryTest : public ::testing::Test {
 protected:
  TestHost host;
  KestrixLibrary library{&host};
};
