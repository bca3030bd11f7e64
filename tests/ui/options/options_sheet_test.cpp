#include <QCheckBox>
#include <QTabWidget>

#include "options/midi_page.h"
#include "options/video_page.h"
#include "options_fixture.h"

namespace {

using optionstest::OptionsTest;
using ui::OptionsSheet;
namespace midi_page = ui::midi_page;
namespace video_page = ui::video_page;

using OptionsSheetTest = OptionsTest;

TEST_F(OptionsSheetTest, HasFivePagesInOrderUnderItsCaption) {
  OptionsSheet& s = Open(OptionsSheet::kMidiPage);
  EXPECT_EQ("Performance Options", s.windowTitle().toStdString());
  ASSERT_EQ(5, s.Tabs().count());
  const char* titles[] = {"&MIDI / FreeFrame", "&Video", "&Capture", "&Sampler", "&LFOs"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(titles[i], s.Tabs().tabText(i).toStdString());
}

TEST_F(OptionsSheetTest, OpensOnThePageActiveWhenItLastClosedAndMakesPagesWhenShown) {
  Open(OptionsSheet::kMidiPage).ShowPage(OptionsSheet::kVideoPage);
  sheet->reject();
  sheet.reset();

  sheet = std::make_unique<OptionsSheet>(context);
  EXPECT_EQ(OptionsSheet::kVideoPage, sheet->Tabs().currentIndex());
  EXPECT_NE(nullptr, sheet->Page(OptionsSheet::kVideoPage));
  EXPECT_EQ(nullptr, sheet->Page(OptionsSheet::kMidiPage)) << "a page is made when it is first shown";
  EXPECT_EQ(nullptr, sheet->Page(OptionsSheet::kCapturePage));

  sheet->ShowPage(OptionsSheet::kLfosPage);
  EXPECT_NE(nullptr, sheet->Page(OptionsSheet::kLfosPage));
  sheet->accept();
  sheet = std::make_unique<OptionsSheet>(context);
  EXPECT_EQ(OptionsSheet::kLfosPage, sheet->Tabs().currentIndex());
}

TEST_F(OptionsSheetTest, TickingAndUntickingIsAChangeReportedAfterCancelButNotApplied) {
  performance.channelMask = 0x0001;
  Open(OptionsSheet::kMidiPage);
  Click(midi_page::kChannelChecks[1]);
  Click(midi_page::kChannelChecks[1]);
  Click(midi_page::kChannelChecks[2]);
  sheet->reject();
  EXPECT_TRUE(context.Changed());
  EXPECT_EQ(0x0001u, performance.channelMask) << "Cancel applies nothing";
  EXPECT_EQ(0, performance.modified);
}

TEST_F(OptionsSheetTest, OkWithoutChangesReportsNothingAndLeavesThePerformance) {
  display.AddAdapter("Screen", {{800, 600, 32, 60}});
  Open(OptionsSheet::kVideoPage);
  sheet->accept();
  EXPECT_EQ(QDialog::Accepted, sheet->result());
  EXPECT_FALSE(context.Changed());
  EXPECT_EQ(640, performance.width) << "the shown entry is stored only after a change";
  EXPECT_EQ(0, performance.modified);
}

TEST_F(OptionsSheetTest, AChangeOnOnePageMakesEveryShownPageApplyAndOnlyThose) {
  display.AddAdapter("Screen", {{800, 600, 32, 60}});
  performance.hold = 1;
  Open(OptionsSheet::kVideoPage);
  Click(video_page::kHideCursorCheck);
  sheet->accept();
  EXPECT_EQ(800, performance.width) << "the video page stores what it shows";
  EXPECT_EQ(1, performance.hold) << "the MIDI page was never shown, so it applies nothing";
  EXPECT_EQ(1, performance.modified);

  sheet.reset();
  Open(OptionsSheet::kMidiPage);
  Control<QCheckBox>(midi_page::kHoldCheck)->setChecked(false);  // shown, but no click
  sheet->ShowPage(OptionsSheet::kVideoPage);
  Click(video_page::kHideCursorCheck);
  sheet->accept();
  EXPECT_EQ(0, performance.hold) << "every shown page rewrites its fields from its controls";
}

TEST_F(OptionsSheetTest, LfoEditsAloneAreNotReportedAndApplyNothing) {
  performance.channelMask = 0x0003;
  Open(OptionsSheet::kMidiPage);
  Control<QCheckBox>(midi_page::kChannelChecks[0])->setChecked(false);  // not a user click
  context.SetChanged(ui::kOptionsLfosEdited);
  sheet->accept();
  EXPECT_FALSE(context.Changed());
  EXPECT_EQ(0x0003u, performance.channelMask);
  EXPECT_EQ(0, performance.modified);
}

}  // namespace
