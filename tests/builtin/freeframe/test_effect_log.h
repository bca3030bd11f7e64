#pragma once
// What the test effect libraries record, read by the tests through the
// library's "testEffectLog" export.
#include <cstdint>

struct TestEffectLog {
  int initialised = 0;
  int deinitialised = 0;
  int instantiated = 0;
  int deinstantiated = 0;
  int frames = 0;
  int sets = 0;
  uint32_t width = 0, height = 0, bitDepth = 0, orientation = 0;
  uint32_t lastSetIndex = 0;
  float lastSetValue = 0;
  float frameGain = 0;  // parameter 0 as the last frame saw it
  char text[64] = {};
};

using TestEffectLogFn = TestEffectLog* (*)();
