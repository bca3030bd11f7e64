#include "platform/sys/log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

namespace {

struct LogPathCase {
  const char* program;
  const char* log;
};

TEST(LogPath, ReplacesTheExtensionOfTheFileNameOnly) {
  const LogPathCase cases[] = {
      {"/opt/lorvan/lorvan-gpu", "/opt/lorvan/lorvan-gpu Log.txt"},
      {"/opt/lorvan.d/lorvan-gpu", "/opt/lorvan.d/lorvan-gpu Log.txt"},
      {"/opt/lorvan/Lorvan GPU.exe", "/opt/lorvan/Lorvan GPU Log.txt"},
      {"/opt/a.b.c", "/opt/a.b Log.txt"},
      {"C:\\Lorvan\\Lorvan.exe", "C:\\Lorvan\\Lorvan Log.txt"},
  };
  for (const auto& c : cases) EXPECT_EQ(sys::LogPathFor(c.program), c.log) << c.program;
}

class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = std::filesystem::temp_directory_path() /
            ("lv_log_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt");
    std::filesystem::remove(path_);
  }
  void TearDown() override { std::filesystem::remove(path_); }

  void CreateEmpty() { std::ofstream(path_).flush(); }
  std::string Contents() {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path path_;
};

TEST_F(LogFileTest, AppendsFormattedLinesWhenTheFileExists) {
  CreateEmpty();
  sys::LogFile log(path_.string());
  ASSERT_TRUE(log.Enabled());
  log.Printf("Display %dx%d", 640, 480);
  log.Printf("%s", "second");
  EXPECT_EQ(Contents(), "Display 640x480\nsecond\n");
}

TEST_F(LogFileTest, AMissingFileAtTheStartDisablesItForGood) {
  sys::LogFile log(path_.string());
  EXPECT_FALSE(log.Enabled());
  CreateEmpty();
  log.Printf("lost");
  EXPECT_EQ(Contents(), "");
}

TEST_F(LogFileTest, KeepsMessagesUpTo2047Characters) {
  CreateEmpty();
  sys::LogFile log(path_.string());
  std::string longest(2047, 'x');
  log.Printf("%s", longest.c_str());
  log.Printf("%s", (longest + "y").c_str());
  log.Write(longest + "z");
  EXPECT_EQ(Contents(), longest + "\n");
}

}  // namespace
