#include "platform/window/posted_message_target.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>
#include <vector>

#include "platform/window/ui_thread.h"

namespace {

using window::LParam;
using window::MessageId;
using window::WParam;

struct Received {
  MessageId message;
  WParam w;
  LParam l;
  std::thread::id thread;
};

// Spins the event loop until `done` or a generous deadline (a stuck test
// fails rather than hangs).
template <typename Done>
bool ProcessUntil(Done done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 20000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

TEST(PostedMessages, ArriveOnTheUiThreadInTheOrderPosted) {
  window::PostedMessageTarget target;
  std::vector<Received> received;
  target.SetHandler([&](MessageId m, WParam w, LParam l) { received.push_back({m, w, l, std::this_thread::get_id()}); });

  constexpr int kCount = 2000;
  std::thread renderThread([&target] {
    for (int i = 0; i < kCount; ++i) {
      target.Post(window::msg::kUser + 1 + static_cast<MessageId>(i % 3), static_cast<WParam>(i % 16),
                  static_cast<LParam>(i));
    }
  });
  renderThread.join();
  EXPECT_TRUE(received.empty()) << "nothing is delivered before the user interface runs its loop";

  ASSERT_TRUE(ProcessUntil([&] { return received.size() >= kCount; }));
  ASSERT_EQ(received.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(received[i].l, i);
    EXPECT_EQ(received[i].message, window::msg::kUser + 1 + static_cast<MessageId>(i % 3));
    EXPECT_EQ(received[i].w, static_cast<WParam>(i % 16));
    EXPECT_EQ(received[i].thread, std::this_thread::get_id());
  }
}

TEST(PostedMessages, TwoPostingThreadsKeepEachOnesOrder) {
  window::PostedMessageTarget target;
  std::vector<LParam> fromFirst;
  std::vector<LParam> fromSecond;
  target.SetHandler([&](MessageId, WParam w, LParam l) { (w == 1 ? fromFirst : fromSecond).push_back(l); });
  constexpr int kCount = 500;
  auto poster = [&target](WParam who) {
    for (int i = 0; i < kCount; ++i) target.Post(window::msg::kUser, who, i);
  };
  std::thread first(poster, 1);
  std::thread second(poster, 2);
  // The user interface keeps running while they post.
  ASSERT_TRUE(ProcessUntil([&] { return fromFirst.size() + fromSecond.size() >= 2 * kCount; }));
  first.join();
  second.join();
  for (const auto* list : {&fromFirst, &fromSecond}) {
    ASSERT_EQ(list->size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i) EXPECT_EQ((*list)[i], i);
  }
}

TEST(PostedMessages, GoToTheHandlerCurrentAtDelivery) {
  window::PostedMessageTarget target;
  std::vector<int> mainDialog;
  std::vector<int> noteChooser;
  target.SetHandler([&](MessageId, WParam, LParam l) { mainDialog.push_back(static_cast<int>(l)); });
  target.Post(window::msg::kUser + 1, 0, 60);
  // The note chooser opens before the loop runs: the queued note is its.
  target.SetHandler([&](MessageId, WParam, LParam l) { noteChooser.push_back(static_cast<int>(l)); });
  ASSERT_TRUE(ProcessUntil([&] { return !noteChooser.empty(); }));
  target.SetHandler({});
  target.Post(window::msg::kUser + 1, 0, 61);  // dropped: nobody listens
  QCoreApplication::processEvents();
  EXPECT_TRUE(mainDialog.empty());
  EXPECT_EQ(noteChooser, std::vector<int>{60});
}

TEST(PostedMessages, QueuedMessagesDieWithTheTarget) {
  int delivered = 0;
  {
    window::PostedMessageTarget target;
    target.SetHandler([&](MessageId, WParam, LParam) { ++delivered; });
    target.Post(window::msg::kUser, 0, 0);
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered, 0);
}

TEST(UiThread, RunOnUiThreadQueuesFromAnyThread) {
  std::vector<std::thread::id> ranOn;
  std::thread worker([&] {
    EXPECT_FALSE(window::IsUiThread());
    window::RunOnUiThread([&] { ranOn.push_back(std::this_thread::get_id()); });
  });
  worker.join();
  EXPECT_TRUE(window::IsUiThread());
  ASSERT_TRUE(ProcessUntil([&] { return !ranOn.empty(); }));
  EXPECT_EQ(ranOn.front(), std::this_thread::get_id());
}

}  // namespace
