// The knobs of every Kestrix kind turned, and switched from source to source,
// through the real knob shelf on this thread (the user interface's) while the
// render thread draws one note of each kind on a real device. The patches'
// Render and their bindings' Apply read what the knobs change: every change
// must reach them between passes (ThreadSanitizer watches).
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <string>
#include <vector>

#include "chunk_list.h"
#include "knobs/knob_shelf.h"
#include "modulation/lfo.h"
#include "picture_source.h"
#include "show_fixture.h"
#include "watchdog.h"

// The Mesa driver synchronises its worker threads with its own futex-based
// primitives, which ThreadSanitizer cannot see.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using namespace std::chrono_literals;

constexpr int kFirstNote = 24;
const QPoint kGrip(22, 40);

// "Framebuffer:", the picture drawn so far, which Blend Source mixes in.
gfx::test::Picture Grey() { return {16, 12, std::vector<uint32_t>(16 * 12, 0xFF808080u)}; }
constexpr lv::ClassId kFramebufferId{0x5011D, 1, 2, {3, 4, 5, 6, 7, 8, 9, 11}};

// A left-button drag `up` pixels upwards (downwards when negative).
void Turn(QWidget* knob, int up) {
  QTest::mousePress(knob, Qt::LeftButton, {}, kGrip);
  QTest::mouseMove(knob, kGrip - QPoint(0, up));
  QTest::mouseRelease(knob, Qt::LeftButton, {}, kGrip - QPoint(0, up));
}

// Steps the knob's source: fixed, controller, LFO, band, fixed again.
void NextSource(QWidget* knob) { QTest::mouseClick(knob, Qt::RightButton, {}, kGrip); }

class KnobTurns : public ShowOnDevice {
 protected:
  void SetUp() override {
    ShowOnDevice::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    lv::PlugRegistry& registry = library->Registry();
    registry.RegisterSourceKind(&framebufferKind, nullptr);
    for (int32_t k = 0; k < registry.PlugKindCount(); ++k) {
      lv::PlugDesc* kind = registry.GetPlugKind(k);
      lv::NoteSlot& slot = bank->slots[kFirstNote + k];
      slot.patch.reset(registry.CreatePlug(kind));
      ASSERT_NE(slot.patch, nullptr) << kind->GetName();
      for (int32_t input = 0; input < slot.patch->GetNumInputs(); ++input)
        slot.patch->SetInputName(input, "Pattern:");
      // ShowText draws nothing, and makes nothing, without a text.
      if (std::string(kind->GetName()) == "ShowText") {
        ASSERT_TRUE(LoadInto(*slot.patch, ChunkList({{"FLAG", U32(1)}, {"TEXT", std::string("Knob") + '\0'}})));
      }
      slot.bindings.Attach(slot.patch.get());
      names.push_back(kind->GetName());
    }
    Play();
    int playable = 0;
    for (size_t k = 0; k < names.size(); ++k) {
      if (Slot(k).patch->channelMask != 0)
        ++playable;
      else
        ADD_FAILURE() << names[k] << " made no device objects";
    }
    PlayNotes(kFirstNote, static_cast<int>(names.size()), playable);

    sources.controllers = &performer.Controllers();
    sources.lastController = [this] { return performer.LastController(); };
    sources.lfos = lv::LfoTable.data();
    view.resize(300, 80);
    bar.setOrientation(Qt::Horizontal);
    shelf = std::make_unique<ui::KnobShelf>(sources, &performer);
    shelf->Attach(&view, &bar);
    view.show();
  }
  void TearDown() override {
    shelf.reset();
    ShowOnDevice::TearDown();
  }

  lv::NoteSlot& Slot(size_t k) { return bank->slots[kFirstNote + static_cast<int>(k)]; }

  // Every knob of the slot through all four sources, turned in each, and
  // left fixed; answers the values the knobs were left at.
  std::vector<int32_t> PlayEveryKnob(lv::NoteSlot& slot) {
    shelf->Populate(&slot);
    std::vector<int32_t> left(static_cast<size_t>(slot.bindings.Count()));
    for (int i = 0; i < slot.bindings.Count(); ++i) {
      ui::KnobControl* knob = shelf->KnobOf(i);
      if (knob == nullptr) continue;
      Turn(knob, 30);
      NextSource(knob);  // a MIDI controller
      Turn(knob, 20);
      NextSource(knob);  // an LFO
      Turn(knob, 20);
      NextSource(knob);  // an audio band
      Turn(knob, 300);
      NextSource(knob);  // fixed again, at the value the knob shows
      Turn(knob, -15);
      left[static_cast<size_t>(i)] = knob->Value();
    }
    return left;
  }

  gfx::test::PictureKind framebufferKind{kFramebufferId, "Framebuffer", "The picture so far", &Grey};
  std::vector<std::string> names;
  ui::KnobSources sources;
  QWidget view;
  QScrollBar bar;
  std::unique_ptr<ui::KnobShelf> shelf;
};

TEST_F(KnobTurns, EveryKindsKnobsTurnAndSwitchSourcesWhileFramesAreDrawn) {
  Watchdog watchdog(60s);
  std::vector<std::vector<int32_t>> left(names.size());
  for (int round = 0; round < 2; ++round) {
    for (size_t k = 0; k < names.size(); ++k) {
      left[k] = PlayEveryKnob(Slot(k));
      watchdog.Progress(names[k].c_str());
    }
  }
  WaitForPasses(2);
  sys::CriticalSectionLock frame(performer.FrameLock());
  EXPECT_EQ(performer.ActiveNoteCount(), static_cast<int>(names.size()));
  for (size_t k = 0; k < names.size(); ++k) {
    lv::NoteSlot& slot = Slot(k);
    for (int i = 0; i < slot.bindings.Count(); ++i) {
      if (!slot.patch->IsParamEnabled(i)) continue;
      EXPECT_EQ(slot.bindings.records[static_cast<size_t>(i)].source, lv::ParamBinding::None) << names[k] << " " << i;
      EXPECT_EQ(slot.patch->GetParam(i), left[k][static_cast<size_t>(i)]) << names[k] << " " << i;
    }
  }
}

}  // namespace
