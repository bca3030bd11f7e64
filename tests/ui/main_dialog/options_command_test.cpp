#include <QAction>

#include "main_dialog_fixture.h"

namespace {

using uitest::MainDialogTest;

// The sheet, answered by a script that edits the performance like the pages do.
class ScriptedOptionsSheet final : public ui::OptionsSheetControl {
 public:
  bool Show(lv::Performance& performance, window::WindowHandle) override {
    ++shown;
    if (edit) edit(performance);
    return changed;
  }
  int shown = 0;
  bool changed = false;
  std::function<void(lv::Performance&)> edit;
};

class RecordingMidi final : public ui::MidiInputControl {
 public:
  void Reopen(const char* deviceName) override { reopened.push_back(deviceName != nullptr ? deviceName : ""); }
  std::vector<std::string> reopened;
};

class OptionsCommandTest : public MainDialogTest {
 protected:
  OptionsCommandTest() {
    ui::MainDialogServices services = Services();
    services.midi = &midi;
    services.options = &sheet;
    dialog = std::make_unique<ui::MainDialog>(services);
    dialog->AttachToPerformer();
  }
  bool OptionsEnabled() const { return dialog->MenuAction(ids::kMenuOptions)->isEnabled(); }

  ScriptedOptionsSheet sheet;
  RecordingMidi midi;
};

TEST_F(OptionsCommandTest, AvailableWithAPerformanceOutsideRecordingAndPlayback) {
  dialog->UpdateCommandStates();
  EXPECT_FALSE(OptionsEnabled()) << "no performance";
  NewPerformance();
  dialog->UpdateCommandStates();
  EXPECT_TRUE(OptionsEnabled());
  for (lv::PerformerState busy : {lv::Recording, lv::PlayingCapture}) {
    performer.SetState(busy);
    dialog->UpdateCommandStates();
    EXPECT_FALSE(OptionsEnabled()) << busy;
    dialog->Command(ids::kMenuOptions);
    EXPECT_EQ(0, sheet.shown) << "a display rebuild would cut state " << busy << " short";
  }
}

TEST_F(OptionsCommandTest, AChangeRebuildsTheDisplayWindowedReopensMidiAndPassesTheChannels) {
  NewPerformance();
  display.calls.clear();
  midi.reopened.clear();
  sheet.changed = true;
  sheet.edit = [](lv::Performance& p) {
    p.channelMask = 0x0006;
    p.SetMidiDevice("USB Keys");
  };
  dialog->Command(ids::kMenuOptions);
  EXPECT_EQ(1, sheet.shown);
  EXPECT_EQ(0x0006u, performer.ChannelMask());
  EXPECT_EQ((std::vector<std::string>{"USB Keys"}), midi.reopened);
  EXPECT_EQ((std::vector<bool>{false}), display.calls);
  EXPECT_EQ(dialog->windowTitle().toStdString(), "Lorvane GPU v1.06 - Untitled");
}

TEST_F(OptionsCommandTest, NoChangeRebuildsNothing) {
  NewPerformance();
  display.calls.clear();
  midi.reopened.clear();
  sheet.edit = [](lv::Performance& p) { p.channelMask = 0x0006; };
  dialog->Command(ids::kMenuOptions);
  EXPECT_EQ(1, sheet.shown);
  EXPECT_TRUE(display.calls.empty());
  EXPECT_TRUE(midi.reopened.empty());
  EXPECT_NE(0x0006u, performer.ChannelMask());
}

}  // namespace
