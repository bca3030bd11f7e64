#include "platform/sys/module_path.h"

#include <gtest/gtest.h>

TEST(ModulePath, ProgramPathIsAbsoluteAndNamesThisTest) {
  std::string path = sys::ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path.front(), '/');
  EXPECT_NE(path.find("platform_sys_tests"), std::string::npos);
}

TEST(ModulePath, FolderOf) {
  EXPECT_EQ(sys::FolderOf("/a/b/c"), "/a/b");
  EXPECT_EQ(sys::FolderOf("/c"), "/");
  EXPECT_EQ(sys::FolderOf("c"), ".");
}
