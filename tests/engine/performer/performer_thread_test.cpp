// The Performer with its real render thread and producers on other threads.
#include <atomic>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "performer_fixture.h"
#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/thread.h"

namespace lvtest {
namespace {

constexpr uint32_t kLongWaitMs = 60000;

// Logs the velocity of every note-on of its note, per channel.
class SequencePlug : public TestPlug {
 public:
  SequencePlug(std::vector<std::pair<int, int>>* log, std::atomic<int>* count, int note)
      : TestPlug(nullptr, "seq"), log_(log), count_(count), note_(note) {}
  void NoteOn() override {
    log_->push_back({note_, velocity});
    ++*count_;
  }

 private:
  std::vector<std::pair<int, int>>* log_;
  std::atomic<int>* count_;
  int note_;
};

// Blocks in its first Render until released, so a pass can be held open.
class GatePlug : public TestPlug {
 public:
  GatePlug() : TestPlug(nullptr, "gate") {}
  void Render(uint32_t) override {
    if (held_.exchange(false)) {
      inRender.Set();
      release.Wait(kLongWaitMs);
    }
  }
  sys::AutoResetEvent inRender;
  sys::AutoResetEvent release;

 private:
  std::atomic<bool> held_{true};
};

using PerformerThreads = PerformerTest;

constexpr int kEventsPerProducer = 100000;
constexpr int kNotesPerChannel = 4;

uint32_t ProducerMessage(int channel, int k) {
  return NoteOnMessage(channel, k % kNotesPerChannel, 1 + (k / kNotesPerChannel) % 127);
}

TEST(PerformerThreadsRing, TwoProducersLoseNothingAndKeepTheirOrder) {
  auto* performance = new lv::Performance;
  performance->channelMask = 0x0003;
  std::vector<std::pair<int, int>> logs[2];
  std::atomic<int> count{0};
  lv::Bank* banks[2] = {performance->CreateBank(0), performance->CreateBank(1)};
  for (int channel = 0; channel < 2; ++channel)
    for (int note = 0; note < kNotesPerChannel; ++note)
      banks[channel]->slots[note].patch = std::make_unique<SequencePlug>(&logs[channel], &count, note);

  lv::Performer performer;
  performer.SetPerformance(performance);
  performer.SetChannelBank(1, banks[1]);
  performer.SetChannelBank(0, banks[0]);
  performer.SetChannelMask(0x0003);
  performer.SetState(lv::FullScreen);
  ASSERT_TRUE(performer.Start());

  sys::Thread producers[2];
  for (int channel = 0; channel < 2; ++channel)
    ASSERT_TRUE(producers[channel].Start([&performer, channel] {
      for (int k = 0; k < kEventsPerProducer; ++k) performer.PushMidi({ProducerMessage(channel, k), 0});
    }));
  for (sys::Thread& producer : producers) ASSERT_TRUE(producer.Join(kLongWaitMs * 5));
  const uint32_t start = sys::TimeMs();
  while (count.load() < 2 * kEventsPerProducer && sys::TimeMs() - start < kLongWaitMs) sys::Sleep(1);
  performer.Stop(kLongWaitMs);

  for (int channel = 0; channel < 2; ++channel) {
    ASSERT_EQ(logs[channel].size(), static_cast<size_t>(kEventsPerProducer)) << "channel " << channel;
    for (int k = 0; k < kEventsPerProducer; ++k) {
      const uint32_t expected = ProducerMessage(channel, k);
      const std::pair<int, int> want{(expected >> 8) & 0x7F, (expected >> 16) & 0x7F};
      ASSERT_EQ(logs[channel][static_cast<size_t>(k)], want) << "channel " << channel << " event " << k;
    }
  }
}

TEST_F(PerformerThreads, AFullRingMakesTheProducerWaitForRoom) {
  Play();
  for (int i = 0; i < lv::Performer::kRingSize - 1; ++i) performer.PushMidi({Message(0xF8), 0});
  std::atomic<bool> pushed{false};
  sys::Thread producer;
  ASSERT_TRUE(producer.Start([&] {
    performer.PushMidi({Message(0xF8), 0});
    pushed = true;
  }));
  sys::Sleep(20);
  EXPECT_FALSE(pushed.load());
  Pass();  // this thread renders: it drains the ring and the producer gets in
  ASSERT_TRUE(producer.Join(kLongWaitMs));
  Pass();
  EXPECT_EQ(performer.Controllers().Clock(), static_cast<uint32_t>(lv::Performer::kRingSize));
}

TEST_F(PerformerThreads, SetStateWaitsForThePassInProgress) {
  auto* gate = new GatePlug;
  bank->slots[60].patch.reset(gate);
  Play();
  ASSERT_TRUE(performer.Start());
  performer.PushMidi({NoteOnMessage(0, 60, 100), 0});
  ASSERT_TRUE(gate->inRender.Wait(kLongWaitMs));

  std::atomic<bool> returned{false};
  sys::Thread ui;
  ASSERT_TRUE(ui.Start([&] {
    performer.SetState(lv::Editing);
    returned = true;
  }));
  sys::Sleep(20);
  EXPECT_FALSE(returned.load());
  EXPECT_EQ(performer.State(), lv::Live);
  gate->release.Set();
  ASSERT_TRUE(ui.Join(kLongWaitMs));
  EXPECT_EQ(performer.State(), lv::Editing);
  performer.Stop(kLongWaitMs);
}

TEST_F(PerformerThreads, StopThatTimesOutLeavesThePerformanceToTheRunningThread) {
  auto* gate = new GatePlug;
  int destroyed = 0;
  gate->destroyed = &destroyed;
  bank->slots[60].patch.reset(gate);
  Play();
  ASSERT_TRUE(performer.Start());
  performer.PushMidi({NoteOnMessage(0, 60, 100), 0});
  ASSERT_TRUE(gate->inRender.Wait(kLongWaitMs));

  performer.Stop(10);
  EXPECT_EQ(performer.GetPerformance(), performance);
  EXPECT_EQ(destroyed, 0);
  gate->release.Set();
  performer.Stop(kLongWaitMs);  // the thread ends now: the rest is released
  EXPECT_EQ(performer.GetPerformance(), nullptr);
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
}  // namespace lvtest
