// Glow Source notes played by the real render loop on a real device, while
// the user-interface thread stops them the ways the program does: the output
// window's Space key and Apply on the Options sheet's MIDI page. Ending a
// Glow note erases its target and makes device calls, and a frame holds the
// device from its beginning to its end: the two threads must meet in one
// lock order. A watchdog ends the test program when the threads stop making
// progress, so a deadlock fails in seconds instead of holding up the suite
// (the limit leaves room for a loaded machine and ThreadSanitizer).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

#include "app/output_window_commands.h"
#include "chunk_list.h"
#include "options/midi_page.h"
#include "options/options_sheet.h"
#include "platform/sys/clock.h"
#include "platform/window/virtual_keys.h"
#include "show_fixture.h"
#include "watchdog.h"

// The Mesa driver synchronises its worker threads with its own futex-based
// primitives, which ThreadSanitizer cannot see.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using namespace std::chrono_literals;

constexpr int kFirstNote = 60;
constexpr int kNotes = 4;
// Glow Source's first options, erase on note-off among them.
constexpr uint32_t kGlowOptions = 0x18E;

std::string U32(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

class GlowNotes : public ShowOnDevice {
 protected:
  void SetUp() override {
    ShowOnDevice::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    for (int note = kFirstNote; note < kFirstNote + kNotes; ++note) {
      KestrixLibrary::PlugPtr glow = library->Create("Glow Source");
      ASSERT_NE(glow, nullptr);
      ASSERT_TRUE(LoadInto(*glow, ChunkList({{"FLAG", U32(kGlowOptions)}, {"NAME", std::string("Pattern:") + '\0'}})));
      bank->slots[note].patch.reset(glow.release());
      bank->slots[note].bindings.Attach(bank->slots[note].patch.get());
    }
    Play();
    for (int note = kFirstNote; note < kFirstNote + kNotes; ++note)
      ASSERT_NE(0, bank->slots[note].patch->channelMask) << "Glow Source made no device objects";

    // Each kind of pass drawn once, on the render thread alone, so the
    // rounds below do not wait for the driver to link its programs.
    Push(0x90, 100);
    while (performer.ActiveNoteCount() < kNotes) std::this_thread::sleep_for(1ms);
    Push(0x80, 0);
    while (performer.ActiveNoteCount() > 0) std::this_thread::sleep_for(1ms);
  }

  // Every note down through the ring, as the keyboard plays them, and
  // played by the render thread inside its frames.
  void PlayAll(Watchdog& watchdog) {
    Push(0x90, 100);
    while (performer.ActiveNoteCount() < kNotes) std::this_thread::sleep_for(1ms);
    watchdog.Progress("notes playing");
  }

  // A message of `status` for every note, as the keyboard sends them.
  void Push(uint32_t status, uint32_t velocity) {
    for (int note = kFirstNote; note < kFirstNote + kNotes; ++note)
      performer.PushMidi({status | uint32_t(note) << 8 | velocity << 16, sys::TimeMs()});
  }
};

TEST_F(GlowNotes, TheSpaceKeyStopsPlayingNotesWhileFramesAreDrawn) {
  Watchdog watchdog(20s);
  lv::OutputWindowCommands commands(performer, {});
  for (int round = 0; round < 60; ++round) {
    PlayAll(watchdog);
    commands.KeyDown(window::vk::kSpace, false);
    watchdog.Progress("Space");
    ASSERT_EQ(0, performer.ActiveNoteCount()) << "round " << round;
    ASSERT_FALSE(performer.IsHeld(kFirstNote, 0));
  }
  EXPECT_EQ(lv::Live, performer.State());
}

TEST_F(GlowNotes, ApplyOnTheMidiPageStopsPlayingNotesWhileFramesAreDrawn) {
  Watchdog watchdog(20s);
  for (int round = 0; round < 20; ++round) {
    PlayAll(watchdog);
    ui::OptionsSheetContext context{*performer.GetPerformance(), {}, 0};
    context.services.performer = &performer;
    ui::OptionsSheet::SetLastPage(ui::OptionsSheet::kMidiPage);
    ui::OptionsSheet sheet(context);
    // Hold ticked and unticked again: a change, and the same performance.
    auto* hold = sheet.findChild<QAbstractButton*>(QString::number(ui::midi_page::kHoldCheck));
    ASSERT_NE(hold, nullptr);
    hold->click();
    hold->click();
    sheet.accept();
    watchdog.Progress("Apply");
    ASSERT_EQ(0, performer.ActiveNoteCount()) << "round " << round;
  }
  EXPECT_EQ(1u, performer.GetPerformance()->channelMask);
  EXPECT_EQ(0, performer.GetPerformance()->hold);
}

}  // namespace
