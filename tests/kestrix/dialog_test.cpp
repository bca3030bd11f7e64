// The effects' settings dialogs from the library's own layouts, driven like
// a user on real widgets.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "dialog_fixture.h"

namespace {

std::string SavedFlag(lv::Plug& plug) { return ReadChunkList(SavedBy(plug)).at(0).second; }

using KestrixDialog = LibraryTest;

TEST_F(KestrixDialog, ANewBrightenDimPatchChoosesItsSourceAndCancelKeepsOnlyThat) {
  host.selectSource = [](lv::WindowHandle, const char*) { return "clips/loop.avi"; };
  auto plug = library.Create("Brighten/Dim Source");
  WhenModal<QDialog>([this](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit Brighten/Dim Source Parameters");
    EXPECT_EQ(host.selectSourceCurrents, std::vector<std::string>{"(null)"});
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "clips/loop.avi");
    // 0x9D: stretch, erase, reset, looped and velocity brightness.
    for (int id : {1015, 1018, 1023, 1020, 1045}) EXPECT_TRUE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
    for (int id : {1016, 1092, 1094}) EXPECT_FALSE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
    QCheckBox* velocityBrightness = Child<QCheckBox>(dialog, 1045);
    Toggle(velocityBrightness);
    EXPECT_FALSE(velocityBrightness->isChecked());
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(plug->Configure(nullptr));
  EXPECT_STREQ(plug->GetInputName(0), "clips/loop.avi");
  EXPECT_EQ(SavedFlag(*plug), U32(0x9D));
}

TEST_F(KestrixDialog, InvertOkStoresTheBrightnessOnlyOption) {
  auto plug = library.Create("Invert Source");
  plug->SetInputName(0, "a.avi");
  WhenModal<QDialog>([](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit 'Invert Source' Parameters");
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "a.avi");
    for (int id : {1015, 1018, 1023, 1020}) EXPECT_TRUE(Child<QCheckBox>(dialog, id)->isChecked()) << id;
    QCheckBox* brightness = Child<QCheckBox>(dialog, 1035);
    EXPECT_FALSE(brightness->isChecked());
    EXPECT_EQ(brightness->text(), "Invert brightness, but preserve color");
    Toggle(brightness);
    Toggle(Child<QCheckBox>(dialog, 1018));
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(plug->Configure(nullptr));
  EXPECT_TRUE(host.selectSourceCurrents.empty());
  EXPECT_EQ(SavedFlag(*plug), U32((0x0F & ~0x2u) | 0x10));
}

}  // namespace
