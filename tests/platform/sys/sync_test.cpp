#include <atomic>

#include <gtest/gtest.h>

#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/thread.h"

TEST(AutoResetEvent, ASignalGivenBeforeTheWaitIsKeptAndConsumedOnce) {
  sys::AutoResetEvent event;
  EXPECT_FALSE(event.Wait(0));
  event.Set();
  event.Set();  // signals do not accumulate
  EXPECT_TRUE(event.Wait(0));
  EXPECT_FALSE(event.Wait(1));
}

TEST(AutoResetEvent, SetFromAnotherThreadWakesTheWaiter) {
  sys::AutoResetEvent event;
  sys::Thread setter;
  ASSERT_TRUE(setter.Start([&] { event.Set(); }));
  EXPECT_TRUE(event.Wait(60000));
  EXPECT_TRUE(setter.Join(60000));
}

TEST(Thread, JoinIsBoundedWhileTheThreadRuns) {
  sys::AutoResetEvent release;
  std::atomic<bool> ran{false};
  sys::Thread thread;
  ASSERT_TRUE(thread.Start([&] {
    release.Wait(60000);
    ran = true;
  }, sys::ThreadPriority::AboveNormal));
  EXPECT_FALSE(thread.Start([] {}));
  EXPECT_FALSE(thread.Join(10));
  release.Set();
  EXPECT_TRUE(thread.Join(60000));
  EXPECT_TRUE(ran);
  EXPECT_TRUE(thread.Join(0));  // nothing left to wait for
}

TEST(Clock, NeverGoesBackAndSleepWaitsAtLeastItsTime) {
  uint32_t before = sys::TimeMs();
  sys::Sleep(5);
  EXPECT_GE(static_cast<uint32_t>(sys::TimeMs() - before), 5u);
}
