#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "options/sample_parameters_dialog.h"
#include "options/sample_request.h"

namespace {

using namespace ui;
using Sizes = std::vector<uint32_t>;

constexpr uint32_t S(uint32_t w, uint32_t h) { return w << 16 | h; }

TEST(SampleRequest, OfferedSizesFollowTheOutputAndThePowersOfTwoAroundIt) {
  EXPECT_EQ((Sizes{S(256, 128), S(256, 256), S(256, 512), S(320, 240), S(320, 480), S(512, 256), S(512, 512),
                   S(640, 480), S(1024, 512)}),
            OfferedSampleSizes(640, 480));
  // A power of two itself is followed by the next one up.
  EXPECT_EQ((Sizes{S(256, 256), S(256, 512), S(512, 256), S(512, 512), S(512, 1024), S(1024, 512), S(1024, 1024)}),
            OfferedSampleSizes(512, 512));
  EXPECT_TRUE(OfferedSampleSizes(1, 1000).empty()) << "no shape within 1:2";
  for (uint32_t size : OfferedSampleSizes(65535, 65535)) {
    EXPECT_LE(size >> 16, 65535u);
    EXPECT_NE(0u, size & 0xFFFF) << "a side past 16 bits is not offered wrapped";
  }
}

TEST(SampleRequest, FirstRequestIsHalfTheOutput) {
  const SampleRequest r = FirstSampleRequest(641, 481, 16);
  EXPECT_EQ(320u, r.width);
  EXPECT_EQ(240u, r.height);
  EXPECT_EQ(30u, r.frames);
  EXPECT_EQ(2u, r.interval);
  EXPECT_EQ(16u, r.bits);
  EXPECT_EQ("New Sampler", r.name);
  EXPECT_EQ(32u, FirstSampleRequest(640, 480, 24).bits);
}

TEST(SampleRequest, FrameTextIsReadAsAtoiAndKeptWithin1To240) {
  const std::pair<const char*, uint32_t> cases[] = {{"30", 30},   {"0", 1},       {"999", 240}, {"abc", 1},  {"", 1},
                                                    {"-5", 1},    {"12abc", 12},  {" 7", 7},    {"240", 240},
                                                    {"00000000120", 12},  // the first ten characters only
                                                    {"99999999999999999999", 240}};
  for (const auto& [text, frames] : cases) EXPECT_EQ(frames, FrameCountFromText(text)) << '"' << text << '"';
}

TEST(SampleRequest, SizeTextAndBytesPerFrame) {
  SampleRequest r;
  r.width = 320;
  r.height = 240;
  r.bits = 32;
  r.frames = 30;
  r.interval = 2;
  EXPECT_EQ("8.79 Mb, 1.0 Sec)", SampleSizeText(r));
  r.bits = 16;
  r.frames = 240;
  r.interval = 6;
  EXPECT_EQ("35.16 Mb, 24.0 Sec)", SampleSizeText(r));
  EXPECT_EQ(uint64_t{65535} * 65535 * 4, SampleBytesPerFrame(65535, 65535, 32)) << "no 32-bit overflow";
  r.width = r.height = 65535;
  r.bits = 32;
  r.frames = 240;
  EXPECT_EQ("3932040.00 Mb, 24.0 Sec)", SampleSizeText(r));
}

TEST(SampleRequest, SamplerRowTextAndFormatNames) {
  EXPECT_EQ("320 x 240 RGB32, 30 fps, 1.0 sec", SamplerDescription(320, 240, gfx::Format::X8R8G8B8, 30, 2));
  EXPECT_EQ("160 x 120 RGB16, 10 fps, 24.0 sec", SamplerDescription(160, 120, gfx::Format::R5G6B5, 240, 6));
  const std::pair<gfx::Format, const char*> names[] = {
      {gfx::Format::A8R8G8B8, "RGB32"}, {gfx::Format::X8R8G8B8, "RGB32"}, {gfx::Format::A8B8G8R8, "RGB32"},
      {gfx::Format::X8B8G8R8, "RGB32"}, {gfx::Format::R5G6B5, "RGB16"},   {gfx::Format::A1R5G5B5, "RGB16"},
      {gfx::Format::YUY2, "??"},        {gfx::Format::Unknown, "??"}};
  for (const auto& [format, name] : names) EXPECT_STREQ(name, SampleFormatName(format));
  EXPECT_EQ(gfx::Format::R5G6B5, SampleFormat(16));
  EXPECT_EQ(gfx::Format::X8R8G8B8, SampleFormat(32));
}

class SampleDialogTest : public testing::Test {
 protected:
  template <typename Widget>
  Widget* Control(int id) {
    return dialog->findChild<Widget*>(QString::number(id));
  }
  std::unique_ptr<SampleParametersDialog> dialog;
};

TEST_F(SampleDialogTest, StartsFromTheRequestAndRecalculatesAsFieldsChange) {
  dialog = std::make_unique<SampleParametersDialog>(FirstSampleRequest(640, 480, 32));
  EXPECT_EQ("Enter Video Sample Parameters", dialog->windowTitle().toStdString());
  EXPECT_EQ("320 x 240", Control<QComboBox>(sample_dialog::kSizeCombo)->currentText().toStdString());
  EXPECT_EQ("30 fps", Control<QComboBox>(sample_dialog::kRateCombo)->currentText().toStdString());
  EXPECT_EQ(6, Control<QComboBox>(sample_dialog::kRateCombo)->count());
  EXPECT_EQ("RGB32", Control<QComboBox>(sample_dialog::kFormatCombo)->currentText().toStdString());
  EXPECT_EQ("30", Control<QLineEdit>(sample_dialog::kFramesEdit)->text().toStdString());
  EXPECT_EQ("8.79 Mb, 1.0 Sec)", Control<QLabel>(sample_dialog::kSizeText)->text().toStdString());

  Control<QLineEdit>(sample_dialog::kFramesEdit)->setText("999");
  Control<QComboBox>(sample_dialog::kFormatCombo)->setCurrentIndex(0);
  Control<QComboBox>(sample_dialog::kRateCombo)->setCurrentIndex(5);
  Control<QComboBox>(sample_dialog::kSizeCombo)->setCurrentIndex(0);
  Control<QLineEdit>(sample_dialog::kNameEdit)->setText("Loop");
  dialog->accept();
  const SampleRequest& r = dialog->Request();
  EXPECT_EQ(256u, r.width);
  EXPECT_EQ(128u, r.height);
  EXPECT_EQ(240u, r.frames);
  EXPECT_EQ(6u, r.interval);
  EXPECT_EQ(16u, r.bits);
  EXPECT_EQ("Loop", r.name);
  EXPECT_EQ("15.00 Mb, 24.0 Sec)", Control<QLabel>(sample_dialog::kSizeText)->text().toStdString());
}

TEST_F(SampleDialogTest, IsWideEnoughForItsCaptionInTheTitleBar) {
  dialog = std::make_unique<SampleParametersDialog>(FirstSampleRequest(640, 480, 32));
  dialog->show();
  QApplication::processEvents();
  // A title bar sets the caption in about the bold application font, beside
  // an icon and three buttons, each with its padding about a line and a half
  // wide.
  QFont title = dialog->font();
  title.setBold(true);
  const QFontMetrics metrics(title);
  const int caption = metrics.horizontalAdvance(QString::fromUtf8(sample_dialog::kCaption));
  EXPECT_GE(dialog->width(), caption + 6 * metrics.height());
}

TEST_F(SampleDialogTest, AnOutputWhoseHalfIsNotOfferedSelectsTheFirstSize) {
  dialog = std::make_unique<SampleParametersDialog>(FirstSampleRequest(2048, 768, 32));
  EXPECT_EQ(0, Control<QComboBox>(sample_dialog::kSizeCombo)->currentIndex());
  const uint32_t first = OfferedSampleSizes(2048, 768).front();
  EXPECT_EQ(first >> 16, dialog->Request().width);
  EXPECT_EQ(first & 0xFFFF, dialog->Request().height);
}

TEST_F(SampleDialogTest, WithNoSizeOfferedOkDoesNothing) {
  dialog = std::make_unique<SampleParametersDialog>(FirstSampleRequest(2, 2000, 32));
  EXPECT_EQ(0, Control<QComboBox>(sample_dialog::kSizeCombo)->count());
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->text().remove('&') == "OK") {
      EXPECT_FALSE(button->isEnabled());
    }
  dialog->accept();
  EXPECT_NE(QDialog::Accepted, dialog->result());
}

}  // namespace
