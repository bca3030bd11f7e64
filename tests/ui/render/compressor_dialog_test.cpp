// The compressor dialog worked like a user on the offscreen platform: the
// encoders it lists, the settings each encoder takes, OK and Cancel.
#include "render/compressor_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <string>

#include "modal_driver.h"
#include "platform/window/messages.h"
#include "render/dialog_compressor_chooser.h"

namespace {

using media::CompressorChoice;

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

// Picks the encoder's entry as a user would.
void Pick(QDialog* dialog, const std::string& name) {
  const auto& encoders = media::AvailableVideoEncoders();
  for (size_t i = 0; i < encoders.size(); ++i)
    if (encoders[i].name == name) {
      auto* list = Child<QComboBox>(dialog, lv::kCompressorList);
      list->setCurrentIndex(static_cast<int>(i));
      emit list->activated(static_cast<int>(i));
      return;
    }
  ADD_FAILURE() << name << " is not listed";
}

void Type(QDialog* dialog, int id, const char* text) {
  auto* edit = Child<QLineEdit>(dialog, id);
  edit->clear();
  QTest::keyClicks(edit, text);
}

void Click(QDialog* dialog, int id) { QTest::mouseClick(Child<QAbstractButton>(dialog, id), Qt::LeftButton); }

std::optional<CompressorChoice> RunDialog(const CompressorChoice& initial, std::function<void(QDialog*)> act) {
  WhenModal<QDialog>(std::move(act));
  return lv::ShowCompressorDialog(nullptr, media::AvailableVideoEncoders(), initial);
}

std::string Describe(const std::optional<CompressorChoice>& c) {
  if (!c) return "none";
  return c->encoder + " q" + std::to_string(c->quality) + " k" + std::to_string(c->keyFrameEvery) + " r" +
         std::to_string(c->dataRateKBps);
}

TEST(CompressorDialog, ListsTheEncodersThisBuildCanPutInAnAviFile) {
  for (const char* name : {"rawvideo", "mjpeg", "mpeg4", "ffv1"})
    EXPECT_NE(media::FindVideoEncoder(name), nullptr) << name;
  QStringList shown;
  const auto chosen = RunDialog({}, [&shown](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Video Compression");
    auto* list = Child<QComboBox>(dialog, lv::kCompressorList);
    for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    EXPECT_EQ(list->currentIndex(), 0);
    // Full frames take no settings.
    for (int id : {lv::kQualityCheck, lv::kKeyFrameCheck, lv::kDataRateCheck})
      EXPECT_FALSE(Child<QCheckBox>(dialog, id)->isEnabled()) << id;
    Click(dialog, window::kIdOk);
  });
  QStringList expected;
  for (const auto& encoder : media::AvailableVideoEncoders()) expected << QString::fromStdString(encoder.description);
  EXPECT_EQ(shown, expected);
  EXPECT_EQ(Describe(chosen), "rawvideo q-1 k0 r0");
}

TEST(CompressorDialog, GivesTheChosenEncoderWithTheSettingsItTakes) {
  const struct {
    const char* name;
    CompressorChoice initial;
    std::function<void(QDialog*)> act;
    std::string expected;
  } cases[] = {
      {"MPEG-4 with quality kept to its range and a key-frame interval", {},
       [](QDialog* d) {
         Pick(d, "mpeg4");
         EXPECT_FALSE(Child<QLineEdit>(d, lv::kQualityEdit)->isEnabled()) << "unticked";
         Click(d, lv::kQualityCheck);
         Click(d, lv::kKeyFrameCheck);
         EXPECT_TRUE(Child<QLineEdit>(d, lv::kQualityEdit)->isEnabled());
         Type(d, lv::kQualityEdit, "150");
         Type(d, lv::kKeyFrameEdit, "10");
         Click(d, window::kIdOk);
       },
       "mpeg4 q100 k10 r0"},
      {"Motion JPEG has no key-frame setting", {"mpeg4", 40, 12, 900},
       [](QDialog* d) {
         EXPECT_EQ(Child<QComboBox>(d, lv::kCompressorList)->currentText(), "MPEG-4 part 2");
         EXPECT_EQ(Child<QLineEdit>(d, lv::kDataRateEdit)->text(), "900");
         Pick(d, "mjpeg");
         EXPECT_FALSE(Child<QCheckBox>(d, lv::kKeyFrameCheck)->isEnabled());
         EXPECT_FALSE(Child<QLineEdit>(d, lv::kKeyFrameEdit)->isEnabled());
         Click(d, window::kIdOk);
       },
       "mjpeg q40 k0 r900"},
      {"a ticked box without a number keeps the default", {"ffv1", -1, 30, 0},
       [](QDialog* d) {
         EXPECT_TRUE(Child<QCheckBox>(d, lv::kKeyFrameCheck)->isChecked());
         Type(d, lv::kKeyFrameEdit, "");
         QTest::keyClick(Child<QLineEdit>(d, lv::kKeyFrameEdit), Qt::Key_Return);
       },
       "ffv1 q-1 k0 r0"},
      {"Cancel", {"mpeg4", 50, 0, 0}, [](QDialog* d) { Click(d, window::kIdCancel); }, "none"},
      {"Esc after changes", {},
       [](QDialog* d) {
         Pick(d, "mjpeg");
         QTest::keyClick(d, Qt::Key_Escape);
       },
       "none"},
      {"the close box", {}, [](QDialog* d) { d->close(); }, "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(RunDialog(c.initial, c.act)), c.expected) << c.name;
}

TEST(CompressorDialog, WithoutEncodersNothingIsShown) {
  EXPECT_EQ(lv::ShowCompressorDialog(nullptr, {}, {}), std::nullopt);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(DialogCompressorChooser, StartsEachRenderFromFullFrames) {
  lv::DialogCompressorChooser chooser;
  WhenModal<QDialog>([](QDialog* d) {
    Pick(d, "mpeg4");
    Click(d, window::kIdOk);
  });
  EXPECT_EQ(Describe(chooser.ChooseCompressor()), "mpeg4 q-1 k0 r0");
  WhenModal<QDialog>([](QDialog* d) {
    EXPECT_EQ(Child<QComboBox>(d, lv::kCompressorList)->currentIndex(), 0);
    Click(d, window::kIdCancel);
  });
  EXPECT_EQ(chooser.ChooseCompressor(), std::nullopt);
}

}  // namespace
