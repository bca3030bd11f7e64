// The 2D effects' settings dialogs from the library's own layouts, driven like
// a user on real widgets: the check boxes and fields of each class, and the
// controls the filters add to the shared dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialog_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

using EffectDialog = LibraryTest;

TEST_F(EffectDialog, EveryCheckBoxSetsItsOwnOptionBit) {
  const struct {
    const char* kind;
    const char* title;
    std::vector<int> checkBoxes;
    uint32_t allBits;
  } cases[] = {
      {"Fade Source", "Edit Fade Source Parameters", {1018, 1016, 1023, 1020, 1092, 1094, 1015, 1000, 1024, 1005}, 0x3FF},
      {"HSV Modify Source", "Edit 'HSV Modify' Parameters", {1015, 1018, 1023, 1020, 1021, 1022, 1024}, 0x7F},
      {"Chroma Key Source", "Edit 'Chroma Key' Parameters", {1015, 1018, 1023, 1020}, 0x0F},
      {"Wipe Source", "Edit 'Wipe Source' Parameters", {1015, 1018, 1023, 1020, 1022}, 0x1F},
      {"Blur Source", "Edit Blur Source Parameters", {1015, 1018, 1023, 1020, 1092, 1094, 1046, 1034}, 0xFF},
      {"Glow Source", "Edit Glow Source Parameters", {1015, 1018, 1023, 1020, 1092, 1094, 1022, 1021, 1024}, 0x1FF},
      {"Blend Source", "Edit 'Blend Source' Parameters", {1018, 1023, 1020}, 0x07},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kind);
    auto plug = library.Create(c.kind);
    LoadInto(*plug, ChunkList({{"FLAG", U32(0)}, {"NAME", std::string("a.avi", 6)}}));
    WhenModal<QDialog>([&c](QDialog* dialog) {
      EXPECT_EQ(dialog->windowTitle().toStdString(), c.title);
      for (int id : c.checkBoxes) {
        QCheckBox* box = Child<QCheckBox>(dialog, id);
        if (box == nullptr) continue;
        EXPECT_FALSE(box->isChecked()) << id;
        box->setChecked(true);
      }
      QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
    });
    EXPECT_TRUE(plug->Configure(nullptr));
    EXPECT_EQ(ReadChunkList(SavedBy(*plug)).at(0).second, U32(c.allBits));
  }
}

TEST_F(EffectDialog, FadeReadsItsEnvelopeClampedOnOk) {
  auto plug = library.Create("Fade Source");
  plug->SetInputName(0, "a.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Fade Source Parameters");
    EXPECT_EQ(Child<QLineEdit>(dialog, 1001)->text(), "0");
    EXPECT_EQ(Child<QLineEdit>(dialog, 1002)->text(), "100");
    Child<QLineEdit>(dialog, 1001)->setText("250");
    Child<QLineEdit>(dialog, 1002)->setText("40");
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  const Chunks saved = ReadChunkList(SavedBy(*plug));
  EXPECT_EQ(saved.at(1), (std::pair<std::string, std::string>{"FFRM", std::string(1, char(100))}));
  EXPECT_EQ(saved.at(2), (std::pair<std::string, std::string>{"FTO ", std::string(1, char(40))}));
}

TEST_F(EffectDialog, ShowTextFontChangesStayButTextNeedsOk) {
  auto plug = library.Create("ShowText");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Text Display Parameters");
    Child<QLineEdit>(dialog, 1060)->setText("30");
    QComboBox* fonts = Child<QComboBox>(dialog, 1059);
    ASSERT_GT(fonts->count(), 0) << "the font families are listed";
    fonts->setCurrentIndex(fonts->count() - 1);
    emit fonts->activated(fonts->count() - 1);  // as a user's pick reports it
    Child<QLineEdit>(dialog, 1065)->setText("Not kept");
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  Chunks saved = ReadChunkList(SavedBy(*plug));
  EXPECT_EQ(saved.at(1).second, std::string(1, '\0')) << "Cancel keeps no text";
  const std::string font = saved.at(2).second;
  EXPECT_EQ(font[0], 30) << "the family keeps the height typed before it";
  EXPECT_NE(font[28], '\0') << "a face is chosen";

  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, 1060)->text(), "30");
    Child<QLineEdit>(dialog, 1065)->setText("Hello");
    QTest::mouseClick(Child<QCheckBox>(dialog, 1018), Qt::LeftButton, {}, QPoint(6, 5));
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  saved = ReadChunkList(SavedBy(*plug));
  EXPECT_EQ(saved.at(0).second, U32(0));
  EXPECT_EQ(saved.at(1).second, std::string("Hello", 6));
  EXPECT_EQ(saved.at(2).second, font);
}

// ---- The controls the filters add

using FilterDialog = LibraryTest;

TEST_F(FilterDialog, PixelShuffleOffsetButtonChoosesTheSecondInput) {
  host.selectSource = [](lv::WindowHandle, const char*) { return "clips/offset.avi"; };
  auto plug = library.Create("Pixel Shuffle Source");
  plug->SetInputName(0, "clips/a.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit 'Pixel Shuffle' Settings");
    QTest::mouseClick(Child<QPushButton>(dialog, 1017), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  EXPECT_STREQ(plug->GetInputName(0), "clips/a.avi");
  EXPECT_STREQ(plug->GetInputName(1), "clips/offset.avi") << "kept like a chosen source, even on Cancel";
}

TEST_F(FilterDialog, CrossHatchPatternStyleShowsAndSetsTheIndex) {
  auto plug = library.Create("Cross-Hatch Source");
  plug->SetInputName(0, "a.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_TRUE(Child<QRadioButton>(dialog, 1044)->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(dialog, 1045)->isChecked());
    QTest::mouseClick(Child<QRadioButton>(dialog, 1045), Qt::LeftButton, {}, QPoint(6, 5));
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)).at(1), (std::pair<std::string, std::string>{"INDX", U32(1)}));
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_TRUE(Child<QRadioButton>(dialog, 1045)->isChecked());
    QTest::mouseClick(Child<QRadioButton>(dialog, 1044), Qt::LeftButton, {}, QPoint(6, 5));
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug)).at(1).second, U32(1)) << "Cancel changes nothing";
}

}  // namespace
