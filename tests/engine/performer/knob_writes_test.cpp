// Knob turns and binding changes handed to the real render thread: made at
// the start of its next pass in every state, the latest write winning, and
// never after the patch may be edited or deleted.
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "performer_fixture.h"
#include "platform/sys/clock.h"
#include "platform/sys/event.h"
#include "platform/sys/thread.h"

namespace lvtest {
namespace {

constexpr uint32_t kLongWaitMs = 60000;
constexpr int kNote = 60;

// Notes the thread each value was set on.
class KnobPlug : public TestPlug {
 public:
  explicit KnobPlug(int params) : TestPlug(nullptr, "knob") {
    SetParams(std::vector<lv::ParamInfo>(static_cast<size_t>(params), lv::ParamInfo{0, 100, 0, 0, 0, "P", nullptr}));
  }
  void SetParam(int32_t i, int32_t value) override {
    TestPlug::SetParam(i, value);
    setOn = std::this_thread::get_id();
  }
  // With `holdFirstRender`, the first Render holds its pass open until released.
  void Render(uint32_t) override {
    if (holdFirstRender.exchange(false)) {
      inRender.Set();
      release.Wait(kLongWaitMs);
    }
  }
  std::thread::id setOn;
  std::atomic<bool> holdFirstRender{false};
  sys::AutoResetEvent inRender;
  sys::AutoResetEvent release;
};

lv::KnobWrite ValueWrite(lv::NoteSlot& slot, int index, int32_t value) {
  lv::KnobWrite write;
  write.patch = slot.patch.get();
  write.bindings = &slot.bindings;
  write.index = index;
  write.fields = lv::KnobWrite::kValue;
  write.value = value;
  return write;
}

class KnobWrites : public PerformerTest {
 protected:
  KnobPlug& Patch(int params = 2) {
    auto* plug = new KnobPlug(params);
    Slot().patch.reset(plug);
    Slot().bindings.Attach(plug);
    return *plug;
  }
  lv::NoteSlot& Slot() { return bank->slots[kNote]; }

  // Waits, looking between passes, until `done` holds.
  bool BetweenPassesUntil(const std::function<bool()>& done) {
    const uint32_t start = sys::TimeMs();
    while (sys::TimeMs() - start < kLongWaitMs) {
      {
        sys::CriticalSectionLock frame(performer.FrameLock());
        if (done()) return true;
      }
      sys::Sleep(1);
    }
    return false;
  }
};

TEST_F(KnobWrites, ReachThePatchAtTheNextPassInEveryStateLatestFirst) {
  KnobPlug& plug = Patch();
  Play();
  ASSERT_TRUE(performer.Start());
  int32_t value = 0;
  for (lv::PerformerState state : {lv::Live, lv::Editing, lv::Halted, lv::NoteSelect}) {
    SCOPED_TRACE(state);
    performer.SetState(state);
    {
      // No pass can begin: the writes wait for the next one.
      sys::CriticalSectionLock frame(performer.FrameLock());
      plug.setParamCalls = 0;
      Slot().bindings.records[0] = lv::ParamBinding{};
      performer.WriteKnob(ValueWrite(Slot(), 0, ++value));
      lv::KnobWrite binding = ValueWrite(Slot(), 0, 0);
      binding.fields = lv::KnobWrite::kSource | lv::KnobWrite::kSourceIndex;
      binding.source = lv::ParamBinding::LfoOutput;
      binding.controller = 5;
      binding.lfo = 7;
      performer.WriteKnob(binding);
      performer.WriteKnob(ValueWrite(Slot(), 0, ++value));
      lv::KnobWrite index = binding;
      index.fields = lv::KnobWrite::kSourceIndex;
      index.lfo = 9;
      performer.WriteKnob(index);
      EXPECT_EQ(plug.setParamCalls, 0);
      EXPECT_EQ(Slot().bindings.records[0].source, lv::ParamBinding::None);
    }
    ASSERT_TRUE(BetweenPassesUntil([&] { return plug.setParamCalls > 0; }));
    sys::CriticalSectionLock frame(performer.FrameLock());
    EXPECT_EQ(plug.setParamCalls, 1) << "only the latest value is set";
    EXPECT_EQ(plug.values[0], value);
    EXPECT_EQ(plug.values[1], 0);
    EXPECT_NE(plug.setOn, std::this_thread::get_id()) << "set by the render thread";
    const lv::ParamBinding& record = Slot().bindings.records[0];
    EXPECT_EQ(record.source, lv::ParamBinding::LfoOutput);
    EXPECT_EQ(record.controller, 5);
    EXPECT_EQ(record.lfo, 9);
  }
  ASSERT_TRUE(performer.Stop(kLongWaitMs));
}

// Whatever comes before a patch is edited or deleted makes the writes still
// waiting for it, so none reaches it afterwards.
TEST_F(KnobWrites, AreMadeBeforeThePatchCanBeEditedOrDeleted) {
  const std::pair<const char*, std::function<void(lv::Performer&)>> steps[] = {
      {"ReleaseNote", [](lv::Performer& p) { p.ReleaseNote(kNote); }},
      {"SetState", [](lv::Performer& p) { p.SetState(lv::Editing); }},
      {"SetChannelBank to the bank it has", [](lv::Performer& p) { p.SetChannelBank(0, p.ChannelBank(0)); }},
  };
  KnobPlug& plug = Patch();
  Play();
  ASSERT_TRUE(performer.Start());
  performer.PushMidi({NoteOnMessage(0, kNote, 100), 0});
  int value = 0;
  for (const auto& [name, step] : steps) {
    SCOPED_TRACE(name);
    sys::CriticalSectionLock frame(performer.FrameLock());
    performer.WriteKnob(ValueWrite(Slot(), 1, ++value));
    step(performer);
    EXPECT_EQ(plug.values[1], value);
    EXPECT_EQ(plug.setOn, std::this_thread::get_id());
    performer.SetState(lv::Live);
  }
  int destroyed = 0;
  plug.destroyed = &destroyed;
  {
    // The main dialog's way to delete a note's patch, a turn just before it.
    sys::CriticalSectionLock frame(performer.FrameLock());
    performer.WriteKnob(ValueWrite(Slot(), 0, 77));
    performer.ReleaseNote(kNote);
    bank->ClearNote(kNote);
  }
  EXPECT_EQ(destroyed, 1);
  const int presents = device.presents.load();
  ASSERT_TRUE(BetweenPassesUntil([&] { return device.presents.load() > presents + 1; }));
  ASSERT_TRUE(performer.Stop(kLongWaitMs));
}

// A pass of heavy 3D effects may take long: a knob turned meanwhile does not
// wait for it.
TEST_F(KnobWrites, NeverWaitForThePassInProgress) {
  KnobPlug& plug = Patch();
  plug.holdFirstRender = true;
  Play();
  ASSERT_TRUE(performer.Start());
  performer.PushMidi({NoteOnMessage(0, kNote, 100), 0});
  ASSERT_TRUE(plug.inRender.Wait(kLongWaitMs));
  sys::AutoResetEvent written;
  sys::Thread ui;
  ASSERT_TRUE(ui.Start([&] {
    for (int32_t value = 1; value <= 100; ++value) performer.WriteKnob(ValueWrite(Slot(), 0, value));
    written.Set();
  }));
  const bool returned = written.Wait(kLongWaitMs / 6);
  plug.release.Set();
  ASSERT_TRUE(ui.Join(kLongWaitMs));
  EXPECT_TRUE(returned) << "the turns waited for the pass";
  ASSERT_TRUE(BetweenPassesUntil([&] { return plug.values[0] == 100; }));
  ASSERT_TRUE(performer.Stop(kLongWaitMs));
}

TEST_F(KnobWrites, AreMadeAtOnceWithoutARenderThreadOrWhenTheTableIsFull) {
  KnobPlug& plug = Patch(lv::KnobWrites::kCapacity + 1);
  Play();
  performer.WriteKnob(ValueWrite(Slot(), 0, 5));
  EXPECT_EQ(plug.values[0], 5) << "no render thread runs";

  ASSERT_TRUE(performer.Start());
  {
    sys::CriticalSectionLock frame(performer.FrameLock());
    for (int i = 0; i < lv::KnobWrites::kCapacity; ++i) performer.WriteKnob(ValueWrite(Slot(), i, 50));
    EXPECT_EQ(plug.setParamCalls, 1);
    performer.WriteKnob(ValueWrite(Slot(), lv::KnobWrites::kCapacity, 60));
    EXPECT_EQ(plug.setParamCalls, lv::KnobWrites::kCapacity + 2) << "the waiting writes first, then this one";
    EXPECT_EQ(plug.values[0], 50);
    EXPECT_EQ(plug.values[lv::KnobWrites::kCapacity], 60);
  }
  ASSERT_TRUE(performer.Stop(kLongWaitMs));
}

}  // namespace
}  // namespace lvtest
