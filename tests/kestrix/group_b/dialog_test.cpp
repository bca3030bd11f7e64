// The controls these effects add to the shared settings dialog, driven like
// a user on real widgets.
#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "chunk_list.h"
#include "kestrix_library.h"
#include "modal_driver.h"
#include "test_host.h"

namespace {

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

class GroupBDialog : public ::testing::Test {
 protected:
  TestHost host;
  KestrixLibrary library{&host};
};

TEST_F(GroupBDialog, PixelShuffleOffsetButtonChoosesTheSecondInput) {
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

TEST_F(GroupBDialog, CrossHatchPatternStyleShowsAndSetsTheIndex) {
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
