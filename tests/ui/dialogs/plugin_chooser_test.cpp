// "Select a Plug-in" on real widgets: sorting by each column in both
// directions, and reopening on the kind chosen last.
#include <gtest/gtest.h>

#include <QDialog>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "dialogs/plugin_chooser.h"
#include "modal_driver.h"
#include "ui_fakes.h"

namespace uitest {
namespace {

class PluginChooserTest : public testing::Test {
 protected:
  PluginChooserTest() {
    kinds.Add("delta", "Effects", "Zebra stripes");   // 0
    kinds.Add("Alpha", "Sources", "moving picture");  // 1
    kinds.Add("charlie", "effects", "Blur");          // 2
    kinds.Add("Bravo", "Sources", "all colours");     // 3
  }

  // Opens the chooser, clicks the given headers, reads the rows' names and
  // the focused one, then ends it with OK on `pick` (a name), or Cancel.
  int Run(std::vector<int> headerClicks, const char* pick = nullptr) {
    WhenModal<QDialog>([this, headerClicks, pick](QDialog* dialog) {
      auto* tree = dialog->findChild<QTreeWidget*>("1017");
      for (int column : headerClicks) {
        QHeaderView* header = tree->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
      }
      order.clear();
      for (int i = 0; i < tree->topLevelItemCount(); ++i) order.push_back(tree->topLevelItem(i)->text(0).toStdString());
      focused = tree->currentItem() != nullptr ? tree->currentItem()->text(0).toStdString() : "";
      if (pick != nullptr) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
          if (tree->topLevelItem(i)->text(0) == pick) tree->setCurrentItem(tree->topLevelItem(i));
        dialog->findChild<QPushButton*>("1")->click();
      } else {
        dialog->findChild<QPushButton*>("2")->click();
      }
    });
    return ui::RunPluginChooser(kinds, nullptr, memory);
  }

  FakeKinds kinds;
  ui::PluginChooserMemory memory;
  std::vector<std::string> order;
  std::string focused;
};

using Names = std::vector<std::string>;

TEST_F(PluginChooserTest, HeaderClicksSortByEachColumnAndFlipTheDirection) {
  struct Case {
    std::vector<int> clicks;
    Names expected;
  };
  for (const Case& c : {
           Case{{}, {"Alpha", "Bravo", "charlie", "delta"}},                    // names, ignoring case
           Case{{0}, {"delta", "charlie", "Bravo", "Alpha"}},                   // same column: descending
           Case{{1}, {"charlie", "delta", "Alpha", "Bravo"}},                   // category, then name
           Case{{1}, {"Bravo", "Alpha", "delta", "charlie"}},
           Case{{2}, {"Bravo", "charlie", "Alpha", "delta"}},                   // description
           Case{{0, 2}, {"Bravo", "charlie", "Alpha", "delta"}},                // another column starts ascending
       }) {
    Run(c.clicks);
    EXPECT_EQ(order, c.expected);
  }
  EXPECT_EQ(memory.sortColumn, 2);
  EXPECT_EQ(memory.direction, 1);
}

TEST_F(PluginChooserTest, ReopensOnTheKindChosenLastUnderAnySort) {
  EXPECT_EQ(Run({}, "charlie"), 2);
  for (std::vector<int> clicks : {std::vector<int>{1}, std::vector<int>{2}, std::vector<int>{2}, std::vector<int>{}}) {
    EXPECT_EQ(Run(clicks), -1);  // cancelled
    EXPECT_EQ(focused, "charlie");
  }
  EXPECT_EQ(Run({0}, "Bravo"), 3);
  EXPECT_EQ(Run({1}), -1);
  EXPECT_EQ(focused, "Bravo");
}

}  // namespace
}  // namespace uitest
