// The control operations dialog procedures use, on real widgets.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>

#include "dialog_fixture.h"

namespace {

using namespace window;

int CountCommands(const std::vector<SeenMessage>& seen, int id, NotifyCode code) {
  int count = 0;
  for (const SeenMessage& m : seen) {
    if (m.message == msg::kCommand && CommandId(m.w) == id && CommandCode(m.w) == code) ++count;
  }
  return count;
}

TEST(DialogControls, TextReadsAreBoundedLikeACharacterBuffer) {
  DialogFixture fixture({0, "Text", 200, 60, {
      {ControlKind::kEdit, 1089, "", 5, 5, 60, 12},
      {ControlKind::kStatic, 1052, "", 5, 20, 60, 10},
      {ControlKind::kButton, 1014, "S&ource", 5, 35, 50, 14},
  }});
  fixture.Run(
      [](Dialog& dialog) {
        struct Case {
          std::string text;
          int bufferSize;
          std::string expected;
        };
        const Case cases[] = {
            {"1234567890123", 10, "123456789"},
            {"-70", 10, "-70"},
            {"abc", 1, ""},
            {"abc", 0, ""},
            {"Größe", 4, "Grö"},  // characters, not bytes, and never half of one
        };
        for (const Case& c : cases) {
          dialog.SetItemText(1089, c.text);
          EXPECT_EQ(dialog.GetItemText(1089, c.bufferSize), c.expected) << c.text << " in " << c.bufferSize;
        }
        dialog.SetItemText(1089, std::string(600, 'x'));
        EXPECT_EQ(dialog.GetItemText(1089).size(), 600u);
        EXPECT_EQ(dialog.GetItemText(1014), "S&ource");
        EXPECT_EQ(dialog.GetItemText(4242), "");
      },
      [](Dialog& dialog, QWidget* widget) {
        // A label shows a doubled '&' once and reads back as set.
        dialog.SetItemText(1052, "Drum && Bass");
        EXPECT_EQ(DialogFixture::Child<QLabel>(widget, 1052)->text(), "Drum & Bass");
        EXPECT_EQ(dialog.GetItemText(1052), "Drum && Bass");
      });
  EXPECT_GE(CountCommands(fixture.seen, 1089, NotifyCode::kTextChanged), 5) << "setting a text reports a change";
}

TEST(DialogControls, ItemIntAcceptsOnlyAWholeNumber) {
  DialogFixture fixture({0, "Int", 100, 30, {{ControlKind::kEdit, 1007, "", 5, 5, 60, 12}}});
  fixture.Run(
      [](Dialog& dialog) {
        struct Case {
          std::string text;
          bool isSigned;
          bool ok;
          int value;
        };
        const Case cases[] = {
            {"42", true, true, 42},
            {"  -17 ", true, true, -17},
            {"-17", false, false, 0},
            {"12abc", true, false, 0},
            {"", true, false, 0},
            {"-", true, false, 0},
            {"+5", true, false, 0},
            {"2147483647", true, true, 2147483647},
            {"-2147483648", true, true, -2147483647 - 1},
            {"2147483648", true, false, 0},
            {"4294967295", false, true, -1},
            {"4294967296", false, false, 0},
        };
        for (const Case& c : cases) {
          dialog.SetItemText(1007, c.text);
          bool ok = !c.ok;
          EXPECT_EQ(dialog.GetItemInt(1007, &ok, c.isSigned), c.value) << "'" << c.text << "'";
          EXPECT_EQ(ok, c.ok) << "'" << c.text << "'";
        }
        dialog.SetItemInt(1007, -1, false);
        EXPECT_EQ(dialog.GetItemText(1007), "4294967295");
        dialog.SetItemInt(1007, -63);
        EXPECT_EQ(dialog.GetItemText(1007), "-63");
        bool ok = true;
        EXPECT_EQ(dialog.GetItemInt(999, &ok), 0);
        EXPECT_FALSE(ok);
      },
      {});
}

TEST(DialogControls, RadioGroupsAndCheckBoxes) {
  DialogFixture fixture({0, "Style", 200, 80, {
      {ControlKind::kRadioButton, 1120, "Wave", 5, 5, 50, 10},
      {ControlKind::kRadioButton, 1121, "Ripple", 5, 15, 50, 10},
      {ControlKind::kRadioButton, 1122, "Twist", 5, 25, 50, 10},
      {ControlKind::kRadioButton, 1130, "Left", 80, 5, 50, 10, kGroup},
      {ControlKind::kRadioButton, 1131, "Right", 80, 15, 50, 10},
      {ControlKind::kCheckBox, 1092, "Velocity", 80, 40, 50, 10},
  }});
  fixture.Run(
      [](Dialog& dialog) {
        dialog.CheckRadioButton(1120, 1122, 1121);
        dialog.CheckRadioButton(1130, 1131, 1130);
        EXPECT_EQ(dialog.GetCheck(1121), CheckState::kChecked);
        EXPECT_EQ(dialog.GetCheck(1120), CheckState::kUnchecked);
        dialog.CheckButton(1092, CheckState::kIndeterminate);
        EXPECT_EQ(dialog.GetCheck(1092), CheckState::kIndeterminate);
        dialog.CheckButton(1092, CheckState::kChecked);
        EXPECT_EQ(dialog.GetCheck(1092), CheckState::kChecked);
      },
      [](Dialog& dialog, QWidget* widget) {
        QTest::mouseClick(DialogFixture::Child<QRadioButton>(widget, 1122), Qt::LeftButton);
        EXPECT_EQ(dialog.GetCheck(1122), CheckState::kChecked);
        EXPECT_EQ(dialog.GetCheck(1121), CheckState::kUnchecked) << "a click unchecks its group";
        EXPECT_EQ(dialog.GetCheck(1130), CheckState::kChecked) << "but not the next group";
        QTest::mouseClick(DialogFixture::Child<QRadioButton>(widget, 1122), Qt::LeftButton);
        EXPECT_EQ(dialog.GetCheck(1122), CheckState::kChecked) << "clicking a checked radio button keeps it";
        // Setting a check by program leaves the group alone.
        dialog.CheckButton(1120, CheckState::kChecked);
        EXPECT_EQ(dialog.GetCheck(1122), CheckState::kChecked);
      });
  EXPECT_EQ(CountCommands(fixture.seen, 1122, NotifyCode::kClicked), 2);
  EXPECT_EQ(CountCommands(fixture.seen, 1120, NotifyCode::kClicked), 0) << "program changes send no click";
}

TEST(DialogControls, ComboAndListEntriesWithItemData) {
  DialogFixture fixture({0, "Lists", 200, 120, {
      {ControlKind::kComboBox, 1059, "", 5, 5, 100, 60},
      {ControlKind::kListBox, 1028, "", 5, 25, 100, 60},
  }});
  fixture.Run(
      [](Dialog& dialog) {
        for (const int id : {1059, 1028}) {
          EXPECT_EQ(dialog.GetCurSel(id), -1);
          EXPECT_EQ(dialog.AddString(id, "Arial"), 0);
          EXPECT_EQ(dialog.AddString(id, "Courier"), 1);
          EXPECT_EQ(dialog.AddString(id, "Tahoma"), 2);
          dialog.SetItemData(id, 1, 0x1234);
          EXPECT_EQ(dialog.GetItemData(id, 1), 0x1234);
          EXPECT_EQ(dialog.GetItemData(id, 0), 0);
          EXPECT_EQ(dialog.GetItemData(id, 9), 0);
          EXPECT_EQ(dialog.FindStringExact(id, "tahoma"), 2);
          EXPECT_EQ(dialog.FindStringExact(id, "Taho"), -1);
          EXPECT_EQ(dialog.GetString(id, 1), "Courier");
          EXPECT_EQ(dialog.GetCount(id), 3);
          dialog.SetCurSel(id, 1);
          EXPECT_EQ(dialog.GetCurSel(id), 1);
          EXPECT_EQ(dialog.GetItemText(id), "Courier");
          dialog.SetCurSel(id, 7);
          EXPECT_EQ(dialog.GetCurSel(id), -1);
        }
        dialog.SetCurSel(1059, 0);
        dialog.SetCurSel(1028, 0);
      },
      [](Dialog& dialog, QWidget* widget) {
        auto* combo = DialogFixture::Child<QComboBox>(widget, 1059);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        EXPECT_EQ(dialog.GetCurSel(1059), 1);
        auto* list = DialogFixture::Child<QListWidget>(widget, 1028);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
        EXPECT_EQ(dialog.GetCurSel(1028), 2);
        dialog.ResetContent(1059);
        EXPECT_EQ(dialog.GetCount(1059), 0);
        EXPECT_EQ(dialog.GetCurSel(1059), -1);
      });
  EXPECT_EQ(CountCommands(fixture.seen, 1059, NotifyCode::kSelectionChanged), 1) << "only the user's choice reports";
  EXPECT_EQ(CountCommands(fixture.seen, 1028, NotifyCode::kSelectionChanged), 1);
}

TEST(DialogControls, ListViewRowsColumnsAndSelectionReports) {
  DialogFixture fixture({0, "Parameters", 200, 120, {{ControlKind::kListView, 1170, "", 5, 5, 180, 100}}});
  std::vector<Notification> notes;
  fixture.Run(
      [](Dialog& dialog) {
        dialog.AddColumn(1170, "Name", 100);
        dialog.AddColumn(1170, "Value", 60);
        dialog.AddString(1170, "Speed");
        dialog.AddString(1170, "Size");
        dialog.SetCellText(1170, 1, 1, "0.5");
        dialog.SetItemData(1170, 1, 7);
      },
      [](Dialog& dialog, QWidget* widget) {
        auto* tree = DialogFixture::Child<QTreeWidget>(widget, 1170);
        EXPECT_EQ(tree->headerItem()->text(1), "Value");
        EXPECT_EQ(tree->topLevelItem(1)->text(1), "0.5");
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->topLevelItem(1)).center());
        EXPECT_EQ(dialog.GetCurSel(1170), 1);
        EXPECT_EQ(dialog.GetItemData(1170, dialog.GetCurSel(1170)), 7);
      },
      [&](Dialog&, MessageId m, WParam, LParam l) -> std::intptr_t {
        if (m == msg::kNotify) notes.push_back(*reinterpret_cast<const Notification*>(l));
        return 0;
      });
  ASSERT_FALSE(notes.empty());
  EXPECT_EQ(notes.back().code, NotificationCode::kItemChanged);
  EXPECT_EQ(notes.back().item, 1);
}

TEST(DialogControls, SlidersAndScrollBarsReportTheirNewPosition) {
  DialogFixture fixture({0, "Tracks", 200, 120, {
      {ControlKind::kSlider, 1128, "", 5, 5, 150, 20},
      {ControlKind::kVScrollBar, 1019, "", 170, 5, 10, 100},
      {ControlKind::kProgressBar, 1090, "", 5, 40, 150, 10},
  }});
  std::vector<std::pair<int, int>> positionsSeenInHandler;
  fixture.Run(
      [](Dialog& dialog) {
        dialog.SetRange(1128, 1, 50);
        dialog.SetPosition(1128, 8);
        dialog.SetRange(1019, 0, 247);
        dialog.SetPosition(1019, 0);
        dialog.SetRange(1090, 0, 128);
        dialog.SetPosition(1090, 64);
        EXPECT_EQ(dialog.GetPosition(1090), 64);
        dialog.SetPosition(1128, 99);
        EXPECT_EQ(dialog.GetPosition(1128), 50) << "positions stay within the range";
        dialog.SetPosition(1128, 8);
      },
      [](Dialog&, QWidget* widget) {
        QSlider* slider = DialogFixture::Child<QSlider>(widget, 1128);
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        QScrollBar* bar = DialogFixture::Child<QScrollBar>(widget, 1019);
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_PageDown);
      },
      [&](Dialog& dialog, MessageId m, WParam w, LParam l) -> std::intptr_t {
        if (m == msg::kHScroll || m == msg::kVScroll) {
          positionsSeenInHandler.push_back({ScrollPositionOf(w), dialog.GetPosition(static_cast<int>(l))});
        }
        return 0;
      });
  std::vector<SeenMessage> scrolls;
  for (const SeenMessage& m : fixture.seen) {
    if (m.message == msg::kHScroll || m.message == msg::kVScroll) scrolls.push_back(m);
  }
  ASSERT_EQ(scrolls.size(), 2u) << "setting positions by program reports nothing";
  EXPECT_EQ(scrolls[0].message, msg::kHScroll);
  EXPECT_EQ(scrolls[0].l, 1128);
  EXPECT_EQ(ScrollCodeOf(scrolls[0].w), ScrollCode::kLineRight);
  EXPECT_EQ(scrolls[1].message, msg::kVScroll);
  EXPECT_EQ(scrolls[1].l, 1019);
  EXPECT_EQ(ScrollCodeOf(scrolls[1].w), ScrollCode::kPageDown);
  ASSERT_EQ(positionsSeenInHandler.size(), 2u);
  EXPECT_EQ(positionsSeenInHandler[0], (std::pair<int, int>{9, 9})) << "the handler already reads the new position";
  EXPECT_EQ(positionsSeenInHandler[1].first, positionsSeenInHandler[1].second);
}

TEST(DialogControls, EnableShowFocusAndIdsAsObjectNames) {
  DialogFixture fixture({0, "Main", 200, 80, {
      {ControlKind::kButton, 1137, "Recording MIDI - Press to stop", 5, 5, 150, 14, kHidden},
      {ControlKind::kEdit, 1113, "", 5, 25, 60, 12, kDisabled},
      {ControlKind::kStatic, -1, "", 5, 45, 60, 10},
  }});
  fixture.Run(
      [](Dialog& dialog) {
        EXPECT_TRUE(dialog.HasItem(1137));
        EXPECT_TRUE(dialog.HasItem(-1));
        EXPECT_FALSE(dialog.HasItem(1138));
        EXPECT_FALSE(dialog.IsItemShown(1137));
        EXPECT_FALSE(dialog.IsItemEnabled(1113));
        dialog.ShowItem(1137, true);
        dialog.EnableItem(1113, true);
        // Nothing happens for ids the dialog lacks.
        dialog.EnableItem(1138, true);
        dialog.SetPosition(1138, 3);
        dialog.CheckButton(1138, CheckState::kChecked);
        EXPECT_EQ(dialog.AddString(1113, "not a list"), -1);
      },
      [](Dialog& dialog, QWidget* widget) {
        EXPECT_TRUE(DialogFixture::Child<QWidget>(widget, 1137)->isVisible());
        dialog.SetFocus(1113);
        EXPECT_EQ(widget->focusWidget(), DialogFixture::Child<QWidget>(widget, 1113));
        EXPECT_NE(DialogFixture::Child<QLabel>(widget, -1), nullptr);
      });
}

}  // namespace
