#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <mutex>
#include <thread>

#include "fake_prompts.h"

namespace {

template <typename Done>
bool ProcessUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

TEST(MessageBoxFromAnotherThread, PostedBoxDoesNotBlockTheCaller) {
  FakePrompts prompts;
  std::atomic<int> answered{0};
  // The render thread holds a lock the user interface might wait for: the
  // box is posted and the thread goes on with the lock still held.
  std::mutex frameLock;
  std::thread renderThread([&] {
    std::lock_guard lock(frameLock);
    window::PostMessageBox({nullptr, "error X3000", "Pixel shader error", window::MessageBoxButtons::kOk,
                            window::MessageBoxIcon::kError, 0},
                           [&](window::MessageBoxResult result) { answered = result; });
  });
  renderThread.join();  // returned without any event processing here
  EXPECT_TRUE(prompts.Boxes().empty());

  ASSERT_TRUE(ProcessUntil([&] { return answered.load() != 0; }));
  EXPECT_EQ(answered.load(), window::kIdOk);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].caption, "Pixel shader error");
  EXPECT_EQ(prompts.Boxes()[0].icon, window::MessageBoxIcon::kError);
  EXPECT_EQ(prompts.Threads()[0], std::this_thread::get_id());
}

TEST(MessageBoxFromAnotherThread, BlockingBoxWaitsForTheUiThreadsAnswer) {
  FakePrompts prompts;
  prompts.answer = window::kIdNo;
  std::atomic<int> result{0};
  std::thread worker([&] {
    result = window::ShowMessageBox({nullptr, "Clear it?", "Note in use", window::MessageBoxButtons::kYesNo,
                                     window::MessageBoxIcon::kQuestion, 1});
  });
  ASSERT_TRUE(ProcessUntil([&] { return result.load() != 0; }));
  worker.join();
  EXPECT_EQ(result.load(), window::kIdNo);
  ASSERT_EQ(prompts.Threads().size(), 1u);
  EXPECT_EQ(prompts.Threads()[0], std::this_thread::get_id());
}

}  // namespace
