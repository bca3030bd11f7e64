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

TEST(ExitWatch, ATerminateRequestOnceAnsweredNeverEndsTheProcessLater) {
  std::atomic<int> exits{0};
  lv::ExitWatch watch(50, [&] { ++exits; });
  watch.Terminate();
  std::this_thread::sleep_for(5ms);
  watch.Beat();  // the close ran; the performer cancelled its save prompt
  // A long stall of the user interface afterwards (a project loading) is no
  // unanswered request.
  std::this_thread::sleep_for(400ms);
  EXPECT_EQ(0, exits.load());
}

// A save the performer confirmed is not cut off, whether the end was asked
// for by a terminate request or decided; the bound counts from its end.
TEST(ExitWatch, AHoldKeepsTheProcessUntilItsEndThenTheBoundCountsAgain) {
  for (const bool armed : {false, true}) {
    SCOPED_TRACE(armed ? "armed" : "terminate request");
    std::atomic<int> exits{0};
    lv::ExitWatch watch(100, [&] { ++exits; });
    std::chrono::steady_clock::time_point released;
    {
      lv::ExitWatch::Hold saving(&watch);
      if (armed)
        watch.Arm();
      else
        watch.Terminate();
      std::this_thread::sleep_for(400ms);  // no beat: the save is writing
      EXPECT_EQ(0, exits.load()) << "ended during the save";
      released = std::chrono::steady_clock::now();
    }
    EXPECT_TRUE(Ended(exits));
    EXPECT_GE(std::chrono::steady_clock::now() - released, 100ms) << "the time of the hold was counted";
  }
}

}  // namespace
