#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QTabWidget>
#include <QTreeWidget>

#include "options/capture_page.h"
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

TEST_F(OptionsSheetTest, KeepsOneSizeOnEveryPageWithRoomForEachPage) {
  midi.names = {"Midi Through:Midi Through Port-0", "USB Uno MIDI Interface:USB Uno MIDI Interface MIDI 1"};
  display.AddAdapter("llvmpipe (LLVM 15.0.7, 256 bits)", {{1600, 1200, 32, 60}, {1024, 768, 32, 60}});
  auto shownSize = [this] {
    sheet->show();
    QApplication::processEvents();
    return sheet->size();
  };
  Open(OptionsSheet::kMidiPage);
  const QSize size = shownSize();
  for (int index = 0; index < OptionsSheet::kPageCount; ++index) {
    sheet->ShowPage(index);
    EXPECT_EQ(size, shownSize()) << "page " << index;
    const QWidget* page = sheet->Page(index);
    EXPECT_LE(page->sizeHint().width(), page->width()) << "page " << index;
    EXPECT_LE(page->sizeHint().height(), page->height()) << "page " << index;
  }
  const QTreeWidget& devices = *sheet->findChild<QTreeWidget*>(QString::number(ui::capture_page::kDeviceList));
  EXPECT_LE(devices.header()->length(), devices.viewport()->width()) << "every capture column in view";
  for (int index = 0; index < OptionsSheet::kPageCount; ++index) {
    Open(index);
    EXPECT_EQ(size, shownSize()) << "opened on page " << index;
  }
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
  EXPECT_EQ(640, performance.width) << "the video page stores what it shows: the unlisted size as the custom one";
  EXPECT_EQ(0, performance.cust);
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
