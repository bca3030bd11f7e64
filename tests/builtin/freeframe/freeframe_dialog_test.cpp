// The FreeFrame settings dialog on real widgets.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "freeframe/freeframe_dialog.h"
#include "modal_driver.h"
#include "test_host.h"

namespace {

template <typename W>
W* Child(QWidget* dialog, int id) {
  W* child = dialog->findChild<W*>(QString::number(id));
  EXPECT_NE(child, nullptr) << "control " << id;
  return child;
}

const std::vector<ff::TextParamRow> kRows = {{1, "hello"}, {4, "world"}};

TEST(FreeFrameDialog, NewPatchChoosesItsSourceAtOnce) {
  TestHost host;
  host.selectSource = [](lv::WindowHandle, const char*) { return "clips/loop.avi"; };
  kit::SourceName name;
  WhenModal<QDialog>([&](QDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "Edit 'FreeFrame' Parameters");
    QLabel* label = Child<QLabel>(dialog, 1012);
    EXPECT_TRUE(QTest::qWaitFor([&] { return label->text() == "clips/loop.avi"; }));
    auto* list = Child<QTreeWidget>(dialog, 1170);
    EXPECT_EQ(list->headerItem()->text(0), "Name");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "hello");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "world");
    QTest::mouseClick(Child<QPushButton>(dialog, 1), Qt::LeftButton);
  });
  EXPECT_TRUE(ff::RunFreeFrameDialog(&host, nullptr, name, kRows));
  EXPECT_EQ(host.selectSourceCurrents, std::vector<std::string>{"(null)"});
  EXPECT_STREQ(name.Get(), "clips/loop.avi");
}

TEST(FreeFrameDialog, CancelAfterChoosingKeepsTheNewSource) {
  TestHost host;
  host.selectSource = [](lv::WindowHandle, const char*) { return "b.avi"; };
  kit::SourceName name;
  name.Set("a.avi");
  WhenModal<QDialog>([&](QDialog* dialog) {
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "a.avi");
    EXPECT_TRUE(host.selectSourceCurrents.empty());
    QTest::mouseClick(Child<QPushButton>(dialog, 1014), Qt::LeftButton);
    EXPECT_EQ(Child<QLabel>(dialog, 1012)->text(), "b.avi");
    QTest::mouseClick(Child<QPushButton>(dialog, 2), Qt::LeftButton);
  });
  EXPECT_FALSE(ff::RunFreeFrameDialog(&host, nullptr, name, {}));
  EXPECT_EQ(host.selectSourceCurrents, std::vector<std::string>{"a.avi"});
  EXPECT_STREQ(name.Get(), "b.avi");
}

}  // namespace
