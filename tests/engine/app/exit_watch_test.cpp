// The exit watch ends the process only once its end has been asked for and
// has not come within the bound.
#include "app/exit_watch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Waits (at most a minute, for a loaded machine) for the watch to end the process.
bool Ended(const std::atomic<int>& exits) {
  for (auto waited = 0ms; waited < 60s; waited += 5ms) {
    if (exits.load() > 0) return true;
    std::this_thread::sleep_for(5ms);
  }
  return false;
}

TEST(ExitWatch, EndsTheProcessOnceArmedAndTheBoundHasPassed) {
  std::atomic<int> exits{0};
  lv::ExitWatch watch(50, [&] { ++exits; });
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(0, exits.load()) << "nothing asked for the end";
  watch.Arm();
  EXPECT_TRUE(Ended(exits));
  EXPECT_EQ(1, exits.load());
}

TEST(ExitWatch, ATerminateRequestIsLeftToAUserInterfaceThatKeepsBeating) {
  std::atomic<int> exits{0};
  lv::ExitWatch watch(2000, [&] { ++exits; });
  watch.Terminate();
  for (int beat = 0; beat < 50; ++beat) {
    watch.Beat();
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(0, exits.load()) << "the user interface answers it (a save prompt may be open)";
  EXPECT_FALSE(watch.Armed());
}

TEST(ExitWatch, ATerminateRequestEndsTheProcessWhenTheUserInterfaceIsStuck) {
  std::atomic<int> exits{0};
  lv::ExitWatch watch(50, [&] { ++exits; });
  watch.Beat();
  watch.Terminate();  // and no beat follows
  EXPECT_TRUE(Ended(exits));
}

}  // namespace
