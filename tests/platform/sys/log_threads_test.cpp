#include "platform/sys/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <unistd.h>

namespace {

// The user-interface thread and the render thread log at the same time:
// every line must arrive whole.
TEST(LogFileThreads, LinesFromTwoThreadsNeverInterleave) {
  auto path = std::filesystem::temp_directory_path() / ("lv_log_threads_" + std::to_string(::getpid()) + ".txt");
  std::ofstream(path).flush();
  sys::LogFile log(path.string());
  constexpr int kLines = 200;
  auto writer = [&](char c) {
    std::string line(300, c);
    for (int i = 0; i < kLines; ++i) log.Printf("%s", line.c_str());
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();

  std::ifstream in(path);
  int count = 0;
  for (std::string line; std::getline(in, line); ++count) {
    ASSERT_EQ(line.size(), 300u);
    EXPECT_EQ(line.find_first_not_of(line[0]), std::string::npos);
  }
  EXPECT_EQ(count, 2 * kLines);
  std::filesystem::remove(path);
}

}  // namespace
