// The 3D effects' settings dialogs from the library's own layouts, driven
// like a user on real widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "dialog_fixture.h"

namespace {

using Chunks = std::vector<std::pair<std::string, std::string>>;

std::string I32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

using Effect3dDialog = LibraryTest;

TEST_F(Effect3dDialog, TheSubdivisionSliderShowsItsValueAndOkStoresIt) {
  for (const char* kind : {"Tunnel Source", "Wormhole Source"}) {
    auto plug = library.Create(kind);
    plug->SetInputName(0, "a.avi");
    WhenModal<QDialog>([](QDialog* dialog) {
      QSlider* slider = Child<QSlider>(dialog, 1128);
      EXPECT_EQ(slider->minimum(), 3);
      EXPECT_EQ(slider->maximum(), 100);
      EXPECT_EQ(slider->value(), 32);
      EXPECT_EQ(Child<QLabel>(dialog, 1129)->text(), "32");
      slider->setFocus();
      for (int i = 0; i < 3; ++i) QTest::keyClick(slider, Qt::Key_Right);
      EXPECT_EQ(Child<QLabel>(dialog, 1129)->text(), "35") << "kept up to date while it moves";
      Toggle(Child<QCheckBox>(dialog, 1025));  // Beat Sync Loop
      QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
    });
    EXPECT_TRUE(plug->Configure(nullptr)) << kind;
    const Chunks saved = ReadChunkList(SavedBy(*plug));
    EXPECT_EQ(saved[0].second, U32(156 | 256)) << kind;
    EXPECT_EQ(saved[3], (std::pair<std::string, std::string>{"SUBD", I32(36)})) << kind;
  }
}

TEST_F(Effect3dDialog, RadioPairsShowAndSetOneOptionBitEach) {
  auto plug = library.Create("Sphere Pulse Source");
  plug->SetInputName(0, "a.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    // 68894: relative rotation, sphere.
    EXPECT_TRUE(Child<QRadioButton>(dialog, 1036)->isChecked());
    EXPECT_FALSE(Child<QRadioButton>(dialog, 1037)->isChecked());
    EXPECT_TRUE(Child<QRadioButton>(dialog, 1038)->isChecked());
    Toggle(Child<QRadioButton>(dialog, 1037));
    Toggle(Child<QRadioButton>(dialog, 1039));
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug))[0].second, U32((68894 | 512) & ~65536u));
}

TEST_F(Effect3dDialog, DisplaySpectrumHasNoSourceChooser) {
  auto plug = library.Create("Display Spectrum");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit 'Display Spectrum' Parameters");
    for (int id : {1018, 1023, 1022, 1024}) EXPECT_TRUE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
    Toggle(Child<QCheckBox>(dialog, 1022));
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  EXPECT_TRUE(host.selectSourceCurrents.empty()) << "a new patch without a source does not ask for one";
  EXPECT_EQ(ReadChunkList(SavedBy(*plug))[0].second, U32(15 & ~4u));
  WhenModal<QDialog>([](QDialog* dialog) {
    Toggle(Child<QCheckBox>(dialog, 1018));
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  EXPECT_EQ(ReadChunkList(SavedBy(*plug))[0].second, U32(15 & ~4u)) << "Cancel changes nothing";
}

}  // namespace
