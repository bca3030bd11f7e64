#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "options/video_page.h"
#include "options_fixture.h"

namespace {

using optionstest::OptionsTest;
using ui::OptionsSheet;
using Strings = std::vector<std::string>;
using namespace ui::video_page;

class VideoPageTest : public OptionsTest {
 protected:
  VideoPageTest() {
    display.AddAdapter("Screen 0", {{640, 480, 32, 60},
                                    {640, 480, 32, 75},
                                    {640, 480, 16, 60},
                                    {800, 600, 32, 60},
                                    {640, 480, 32, 60},
                                    {1024, 768, 32, 60}});
    display.AddAdapter("Screen 1", {{1280, 1024, 32, 60}, {1280, 1024, 32, 85}});
  }
  ui::VideoPage& Page() const { return *static_cast<ui::VideoPage*>(sheet->Page(OptionsSheet::kVideoPage)); }
};

TEST_F(VideoPageTest, FillsTheModeCascadeForThePerformancesMode) {
  performance.refreshRate = 75;
  performance.workBuffers = 3;
  Open(OptionsSheet::kVideoPage);
  EXPECT_EQ((Strings{"Screen 0", "Screen 1"}), Items(kAdapterCombo));
  EXPECT_EQ((Strings{"640 x 480", "800 x 600", "1024 x 768"}), Items(kResolutionCombo));
  EXPECT_EQ((Strings{"32 bpp", "16 bpp"}), Items(kDepthCombo));
  EXPECT_EQ((Strings{"60 Hz", "75 Hz"}), Items(kRateCombo));
  EXPECT_EQ(1, Control<QComboBox>(kRateCombo)->currentIndex());
  EXPECT_EQ((Strings{"None", "1", "2", "3", "4"}), Items(kWorkBuffersCombo));
  EXPECT_EQ(3, Control<QComboBox>(kWorkBuffersCombo)->currentIndex());
  EXPECT_TRUE(Control<QRadioButton>(kConserveRadio)->isChecked());
  EXPECT_TRUE(Control<QCheckBox>(kHideCursorCheck)->isChecked());
  EXPECT_FALSE(Control<QLineEdit>(kCustomWidthEdit)->isEnabled());
  EXPECT_EQ("640", Control<QLineEdit>(kCustomWidthEdit)->text().toStdString());
}

TEST_F(VideoPageTest, ChoicesCascadeAndOkStoresThem) {
  Open(OptionsSheet::kVideoPage);
  Choose(kDepthCombo, 1);  // 16 bpp: 640 x 480 has only 60 Hz there
  EXPECT_EQ((Strings{"60 Hz"}), Items(kRateCombo));
  Choose(kResolutionCombo, 1);
  EXPECT_EQ(800u, Page().WorkingWidth());
  EXPECT_EQ((Strings{"32 bpp"}), Items(kDepthCombo)) << "800 x 600 lists only its own depths";
  EXPECT_EQ(16u, Page().WorkingBits()) << "the working depth stays until a depth is chosen";
  Choose(kWorkBuffersCombo, 2);
  Click(kPreserveRadio);
  Click(kHideCursorCheck);
  sheet->accept();
  EXPECT_EQ(800, performance.width);
  EXPECT_EQ(600, performance.height);
  EXPECT_EQ(32, performance.bitsPerPixel) << "what the depth list shows";
  EXPECT_EQ(60, performance.refreshRate);
  EXPECT_EQ(2, performance.workBuffers);
  EXPECT_EQ(0, performance.npw2);
  EXPECT_EQ(0, performance.hide);
  EXPECT_EQ(0, performance.cust);
  EXPECT_EQ(1, performance.modified);
}

TEST_F(VideoPageTest, ANewAdapterShowsItsFirstSizeButKeepsTheWorkingSize) {
  performance.bitsPerPixel = 24;  // no adapter lists it
  performance.refreshRate = 50;
  Open(OptionsSheet::kVideoPage);
  Choose(kAdapterCombo, 1);
  EXPECT_EQ((Strings{"1280 x 1024"}), Items(kResolutionCombo));
  EXPECT_EQ(640u, Page().WorkingWidth());
  EXPECT_TRUE(Items(kDepthCombo).empty()) << "depths of the working size, which this adapter lacks";
  EXPECT_TRUE(Items(kRateCombo).empty());
  sheet->accept();
  EXPECT_EQ(1, performance.displayAdapter);
  EXPECT_EQ(1280, performance.width);
  EXPECT_EQ(1024, performance.height);
  EXPECT_EQ(24, performance.bitsPerPixel) << "an empty list keeps the performance's value";
  EXPECT_EQ(50, performance.refreshRate);
}

TEST_F(VideoPageTest, WithoutAdaptersOrModesNothingGarbageIsStored) {
  display.adapters.clear();
  performance.displayAdapter = 1;
  Open(OptionsSheet::kVideoPage);
  Choose(kWorkBuffersCombo, 4);
  sheet->accept();
  EXPECT_EQ(1, performance.displayAdapter);
  EXPECT_EQ(640, performance.width);
  EXPECT_EQ(480, performance.height);
  EXPECT_EQ(32, performance.bitsPerPixel);
  EXPECT_EQ(60, performance.refreshRate);
  EXPECT_EQ(4, performance.workBuffers);

  display.AddAdapter("Headless", {});
  context.services.display = &display;
  Open(OptionsSheet::kVideoPage);
  Choose(kAdapterCombo, 0);
  sheet->accept();
  EXPECT_EQ(0, performance.displayAdapter);
  EXPECT_EQ(640, performance.width);
  EXPECT_EQ(32, performance.bitsPerPixel);

  context.services.display = nullptr;
  Open(OptionsSheet::kVideoPage);
  Click(kHideCursorCheck);
  sheet->accept();
  EXPECT_EQ(640, performance.width);
}

TEST_F(VideoPageTest, CustomSizeEnablesItsFieldsAndIsStored) {
  Open(OptionsSheet::kVideoPage);
  Click(kCustomCheck);
  EXPECT_TRUE(Control<QLineEdit>(kCustomWidthEdit)->isEnabled());
  EXPECT_TRUE(Control<QLineEdit>(kCustomHeightEdit)->isEnabled());
  EXPECT_FALSE(Control<QComboBox>(kResolutionCombo)->isEnabled());
  Type(kCustomWidthEdit, "720");
  Type(kCustomHeightEdit, " 576");
  sheet->accept();
  EXPECT_EQ(QDialog::Accepted, sheet->result());
  EXPECT_EQ(720, performance.width);
  EXPECT_EQ(576, performance.height);
  EXPECT_EQ(1, performance.cust);
}

TEST_F(VideoPageTest, AShowAtASizeTheAdapterDoesNotListKeepsItAsTheCustomSize) {
  performance.width = 720;  // saved at a custom size; the project does not keep CUST
  performance.height = 576;
  Open(OptionsSheet::kVideoPage);
  EXPECT_TRUE(Control<QCheckBox>(kCustomCheck)->isChecked());
  EXPECT_TRUE(Control<QLineEdit>(kCustomWidthEdit)->isEnabled());
  EXPECT_EQ("720", Control<QLineEdit>(kCustomWidthEdit)->text().toStdString());
  EXPECT_EQ("576", Control<QLineEdit>(kCustomHeightEdit)->text().toStdString());
  EXPECT_FALSE(Control<QComboBox>(kResolutionCombo)->isEnabled());
  Choose(kWorkBuffersCombo, 2);  // the only change
  sheet->accept();
  EXPECT_EQ(720, performance.width);
  EXPECT_EQ(576, performance.height);
  EXPECT_EQ(0, performance.cust) << "only shown as custom: the show's flag (and its full screen) stays";
  EXPECT_EQ(2, performance.workBuffers);

  // Ticking the box again (off and on) makes it the show's custom size.
  Open(OptionsSheet::kVideoPage);
  Click(kCustomCheck);
  Click(kCustomCheck);
  sheet->accept();
  EXPECT_EQ(1, performance.cust);

  // A listed size is shown on the list, as before.
  performance.width = 800;
  performance.height = 600;
  performance.cust = 0;
  Open(OptionsSheet::kVideoPage);
  EXPECT_FALSE(Control<QCheckBox>(kCustomCheck)->isChecked());
  EXPECT_EQ("800 x 600", Control<QComboBox>(kResolutionCombo)->currentText().toStdString());
}

TEST_F(VideoPageTest, ACustomSizeTypedAndConfirmedWithOkIsApplied) {
  performance.cust = 1;
  Open(OptionsSheet::kVideoPage);
  for (auto [id, text] : {std::pair{kCustomWidthEdit, "960"}, std::pair{kCustomHeightEdit, "540"}}) {
    QLineEdit* field = Control<QLineEdit>(id);
    field->selectAll();
    QTest::keyClicks(field, text);
  }
  sheet->accept();
  EXPECT_EQ(QDialog::Accepted, sheet->result());
  EXPECT_TRUE(context.Changed()) << "the display is rebuilt for the new size";
  EXPECT_EQ(960, performance.width);
  EXPECT_EQ(540, performance.height);
  EXPECT_EQ(1, performance.modified);
}

TEST_F(VideoPageTest, ACustomSizeTheDisplayCannotMakeIsRefusedWithAMessage) {
  display.maxSize = 4096;
  const char* refused[][2] = {{"70000", "480"}, {"4097", "480"}, {"0", "480"}, {"640", "abc"}, {"-640", "480"}, {"", "480"}};
  for (const auto& size : refused) {
    Open(OptionsSheet::kVideoPage);
    Click(kCustomCheck);
    Type(kCustomWidthEdit, size[0]);
    Type(kCustomHeightEdit, size[1]);
    const size_t before = boxes.Boxes().size();
    sheet->accept();
    EXPECT_NE(QDialog::Accepted, sheet->result()) << size[0] << " x " << size[1];
    ASSERT_EQ(before + 1, boxes.Boxes().size());
    EXPECT_EQ("The custom resolution must be from 1 x 1 to 4096 x 4096.", boxes.Boxes().back().text);
    EXPECT_EQ("Custom Resolution", boxes.Boxes().back().caption);
    EXPECT_EQ(640, performance.width);
    EXPECT_EQ(0, performance.cust) << "nothing is applied while the sheet stays open";
  }

  Open(OptionsSheet::kVideoPage);
  Click(kCustomCheck);
  Type(kCustomWidthEdit, "4096");
  Type(kCustomHeightEdit, "1");
  sheet->accept();
  EXPECT_EQ(4096, performance.width);
  EXPECT_EQ(1, performance.height);
}

}  // namespace
