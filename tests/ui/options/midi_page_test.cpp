#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "options/midi_page.h"
#include "options_fixture.h"

namespace {

using optionstest::OptionsTest;
using ui::OptionsSheet;
using namespace ui::midi_page;

class MidiPageTest : public OptionsTest {
 protected:
  MidiPageTest() { midi.names = {"Midi Through:Midi Through Port-0", "USB Keys:USB Keys MIDI 1"}; }
};

TEST_F(MidiPageTest, ShowsThePerformancesChannelsHoldAndFolder) {
  performance.channelMask = 0x8005;
  performance.hold = 1;
  settings.freeFramePath = "/plugins/ff";
  Open(OptionsSheet::kMidiPage);
  for (int c = 0; c < 16; ++c)
    EXPECT_EQ(c == 0 || c == 2 || c == 15, Control<QCheckBox>(kChannelChecks[c])->isChecked()) << "channel " << c + 1;
  EXPECT_TRUE(Control<QCheckBox>(kHoldCheck)->isChecked());
  EXPECT_EQ("/plugins/ff", Control<QLineEdit>(kFreeFrameEdit)->text().toStdString());
  EXPECT_EQ(midi.names, Items(kDeviceCombo));
}

TEST_F(MidiPageTest, SelectsTheStoredDeviceIgnoringCaseAndAlsaAddress) {
  struct Case {
    const char* stored;
    int selected;
  } cases[] = {
      {"USB Keys:USB Keys MIDI 1", 1},
      {"usb keys:usb keys midi 1", 1},
      {"USB Keys:USB Keys MIDI 1 24:0", 1},  // saved with the address the port had then
      {"USB Keys", 0},
      {nullptr, 0},
  };
  for (const Case& c : cases) {
    performance.SetMidiDevice(c.stored);
    Open(OptionsSheet::kMidiPage);
    EXPECT_EQ(c.selected, Control<QComboBox>(kDeviceCombo)->currentIndex()) << (c.stored ? c.stored : "(none)");
  }
}

TEST_F(MidiPageTest, OkAfterAChangeStoresChannelsHoldAndTheDeviceName) {
  performance.channelMask = 0x10001;  // bits above the sixteen channels stay
  Open(OptionsSheet::kMidiPage);
  Click(kChannelChecks[0]);
  Click(kChannelChecks[15]);
  Click(kHoldCheck);
  Choose(kDeviceCombo, 1);
  sheet->accept();
  EXPECT_EQ(0x18000u, performance.channelMask);
  EXPECT_EQ(1, performance.hold);
  EXPECT_STREQ("USB Keys:USB Keys MIDI 1", performance.MidiDevice());
  EXPECT_EQ(1, performance.modified);
}

TEST_F(MidiPageTest, WithoutDevicesTheStoredNameStays) {
  midi.names.clear();
  performance.SetMidiDevice("Gone Keys");
  Open(OptionsSheet::kMidiPage);
  EXPECT_EQ(-1, Control<QComboBox>(kDeviceCombo)->currentIndex());
  Click(kHoldCheck);
  sheet->accept();
  EXPECT_STREQ("Gone Keys", performance.MidiDevice());
  EXPECT_EQ(1, performance.hold);

  context.services.midi = nullptr;  // no MIDI system at all
  Open(OptionsSheet::kMidiPage);
  Click(kHoldCheck);
  sheet->accept();
  EXPECT_STREQ("Gone Keys", performance.MidiDevice());
}

TEST_F(MidiPageTest, ATypedFolderIsStoredOnOkWithoutAMessageAndNotOnCancel) {
  settings.freeFramePath = "./FreeFrame";
  Open(OptionsSheet::kMidiPage);
  Type(kFreeFrameEdit, "/typed/but/cancelled");
  sheet->reject();
  EXPECT_EQ("./FreeFrame", settings.freeFramePath);
  EXPECT_FALSE(context.Changed()) << "typing is not a change";

  Open(OptionsSheet::kMidiPage);
  Type(kFreeFrameEdit, "/typed/ff");
  sheet->accept();
  EXPECT_EQ("/typed/ff", settings.freeFramePath);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(0, performance.modified);

  Open(OptionsSheet::kMidiPage);
  Type(kFreeFrameEdit, std::string(600, 'x').c_str());
  sheet->accept();
  EXPECT_EQ(511u, settings.freeFramePath.size()) << "the settings record keeps 511 characters";
}

TEST_F(MidiPageTest, ABrowsedFolderIsStoredAtOnceWithTheRestartMessage) {
  settings.freeFramePath = "/old";
  prompts.folder = "/new/plugins";
  Open(OptionsSheet::kMidiPage);
  Click(kBrowse);
  ASSERT_EQ(1u, prompts.browseTitles.size());
  EXPECT_EQ("Browse for FreeFrame plugin folder", prompts.browseTitles[0]);
  EXPECT_EQ("/old", prompts.browseStarts[0]);
  EXPECT_EQ("/new/plugins", settings.freeFramePath) << "before OK";
  EXPECT_EQ("/new/plugins", Control<QLineEdit>(kFreeFrameEdit)->text().toStdString());
  ASSERT_EQ(1u, boxes.Boxes().size());
  EXPECT_EQ("This change will not take effect until Lorvane GPU is restarted.", boxes.Boxes()[0].text);
  EXPECT_EQ("FreeFrame Path Updated", boxes.Boxes()[0].caption);
  EXPECT_EQ(window::MessageBoxIcon::kInformation, boxes.Boxes()[0].icon);
  sheet->reject();
  EXPECT_EQ("/new/plugins", settings.freeFramePath) << "Cancel does not take it back";

  prompts.folder.reset();
  Open(OptionsSheet::kMidiPage);
  Click(kBrowse);
  EXPECT_EQ("/new/plugins", settings.freeFramePath) << "a cancelled browse changes nothing";
  EXPECT_EQ(1u, boxes.Boxes().size());
}

}  // namespace
