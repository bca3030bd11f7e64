// The user-interface thread against a render thread that never returns from
// a patch: its waits for the frame lock are bounded, refused changes change
// nothing, the user is told once per stuck pass, and a busy render thread is
// never taken for a stuck one.
#include <atomic>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "performer_fixture.h"
#include "platform/sys/clock.h"
#include "platform/sys/event.h"

namespace lvtest {
namespace {

constexpr uint32_t kLongWaitMs = 60000;

// Blocks in Render while asked to, as a broken plug-in's pass may never end.
class StuckPlug : public TestPlug {
 public:
  StuckPlug() : TestPlug(nullptr, "stuck") { SetParams({lv::ParamInfo{0, 100, 0, 0, lv::ChunkTag("LEVL"), "Level", nullptr}}); }
  void Render(uint32_t) override {
    if (!block.exchange(false)) return;
    inRender.Set();
    release.Wait(kLongWaitMs);
  }
  void NoteOff() override { ++noteOffs; }
  std::atomic<bool> block{true};
  std::atomic<int> noteOffs{0};
  sys::AutoResetEvent inRender;
  sys::AutoResetEvent release;
};

class FrameHoldTest : public PerformerTest {
 protected:
  FrameHoldTest() {
    performer.SetDevice(nullptr);
    stuck = new StuckPlug;
    bank->slots[kNote].patch.reset(stuck);
    bank->slots[kNote].bindings.Attach(stuck);
    performer.SetNotRespondingReport([this] {
      ++reports;
      reported = performer.CallInProgress();
    });
  }
  ~FrameHoldTest() override {
    stuck->block = false;
    stuck->release.Set();
    performer.Stop(kLongWaitMs);
  }

  // The render thread runs, and the test thread is the user interface's.
  void StartAsUserInterface() {
    Play();
    performer.SetUserInterfaceThread(std::this_thread::get_id());
    ASSERT_TRUE(performer.Start());
  }
  // Ends the stuck pass and waits (with a deadline) until it has ended.
  void Release() {
    stuck->release.Set();
    for (int waited = 0; performer.NotResponding() && waited < 10000; ++waited) sys::Sleep(1);
    ASSERT_FALSE(performer.NotResponding());
  }
  void StickInRender() {
    stuck->block = true;
    performer.PushMidi({NoteOnMessage(0, kNote, 100), 0});
    ASSERT_TRUE(stuck->inRender.Wait(kLongWaitMs));
  }

  static constexpr int kNote = 60;
  StuckPlug* stuck = nullptr;
  int reports = 0;
  lv::Performer::PatchCall reported;
};

TEST_F(FrameHoldTest, EveryChangeThatNeedsAStuckPassIsRefusedAndTheUserIsToldOnce) {
  StartAsUserInterface();
  StickInRender();

  EXPECT_FALSE(performer.SetState(lv::Editing));
  EXPECT_TRUE(performer.NotResponding());
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(reported.kind, &TestPlug::kClassId);
  EXPECT_EQ(reported.note, kNote);

  lv::KnobWrite write;
  write.fields = lv::KnobWrite::kValue;
  write.patch = stuck;
  write.bindings = &bank->slots[kNote].bindings;
  write.value = 7;
  const std::vector<std::pair<const char*, std::function<bool()>>> refused = {
      {"HoldFrame", [&] { return performer.HoldFrame().owns_lock(); }},
      {"SetState", [&] { return performer.SetState(lv::Halted); }},
      {"StopAllNotes", [&] { return performer.StopAllNotes(); }},
      {"ReleaseNote", [&] { return performer.ReleaseNote(kNote); }},
      {"AllNotesOff", [&] { return performer.AllNotesOff(0); }},
      {"EndNote", [&] { return performer.EndNote(kNote, 0, false); }},
      {"SetChannelBank", [&] { return performer.SetChannelBank(0, nullptr); }},
      {"SetPerformance", [&] { return performer.SetPerformance(nullptr); }},
      {"SetPlayback", [&] { return performer.SetPlayback(40.0, nullptr, nullptr); }},
      {"MakeKnobWrites", [&] { return performer.WriteKnob(write) && performer.MakeKnobWrites(); }},
  };
  for (const auto& [name, call] : refused) EXPECT_FALSE(call()) << name;
  // Nothing changed, no patch was called from this thread, and the user was
  // told only once.
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(performer.GetPerformance(), performance);
  EXPECT_EQ(performer.ChannelBank(0), bank);
  EXPECT_EQ(stuck->noteOffs.load(), 0);
  EXPECT_EQ(stuck->setParamCalls, 0);
  EXPECT_EQ(reports, 1);

  // The pass ends: the next change waits for the lock as usual.
  Release();
  EXPECT_TRUE(performer.SetState(lv::Editing));
  EXPECT_EQ(performer.State(), lv::Editing);
  EXPECT_EQ(stuck->setParamCalls, 1);  // the waiting knob write was made first
}

TEST_F(FrameHoldTest, APassStuckAgainLaterIsToldAgain) {
  StartAsUserInterface();
  StickInRender();
  EXPECT_FALSE(performer.SetState(lv::Editing));
  Release();
  ASSERT_TRUE(performer.SetState(lv::Live));

  StickInRender();
  EXPECT_FALSE(performer.StopAllNotes());
  EXPECT_EQ(reports, 2);
}

TEST_F(FrameHoldTest, OtherThreadsStillWaitForThePass) {
  StartAsUserInterface();
  StickInRender();
  std::atomic<bool> written{false};
  std::thread other([&] { written = performer.SetState(lv::Editing); });
  EXPECT_FALSE(performer.SetState(lv::Halted));  // this thread's wait is refused
  EXPECT_FALSE(written.load());
  stuck->release.Set();
  other.join();
  EXPECT_TRUE(written.load());
  EXPECT_EQ(reports, 1);
}

// The MIDI input's delivery thread filling the ring while the pass is stuck:
// it gives up on what finds no room instead of waiting for good (the input
// could then never be closed).
TEST_F(FrameHoldTest, AProducerDoesNotWaitForGoodOnAStuckPass) {
  StartAsUserInterface();
  StickInRender();
  std::atomic<bool> returned{false};
  std::thread input([&] {
    for (int i = 0; i < 1100; ++i) performer.PushMidi({Message(0xB0, 1, i & 127), 0});
    returned = true;
  });
  for (int waited = 0; !returned.load() && waited < 20000; ++waited) sys::Sleep(1);
  EXPECT_TRUE(returned.load()) << "the producer still waits for room in the ring";
  stuck->release.Set();
  input.join();
  Release();
}

// An offline render: its frame callback runs under the frame lock and each
// pass takes the lock again at once.
bool SlowFrame(void* frames) {
  ++*static_cast<std::atomic<int>*>(frames);
  sys::Sleep(2);
  return true;
}

TEST_F(FrameHoldTest, ABusyRenderThreadIsNeverTakenForAStuckOne) {
  std::atomic<int> frames{0};
  stuck->block = false;
  Play();
  performer.SetPlayback(1000.0 / 30.0, SlowFrame, &frames);
  performer.SetState(lv::PlayingCapture);
  performer.SetUserInterfaceThread(std::this_thread::get_id());
  ASSERT_TRUE(performer.Start());
  for (int i = 0; i < 100; ++i) {
    lv::Performer::FrameHold hold = performer.HoldFrame();
    ASSERT_TRUE(hold.owns_lock()) << "wait " << i << " refused after " << frames.load() << " frames";
    hold.unlock();
    sys::Sleep(1);
  }
  EXPECT_FALSE(performer.NotResponding());
  EXPECT_EQ(reports, 0);
  EXPECT_GT(frames.load(), 0);
}

}  // namespace
}  // namespace lvtest
