// The patch list on the main dialog: row texts, playing marks from the
// Performer's reports, the priority and target menus and the list's keys.
#include <QAbstractButton>
#include <QKeyEvent>
#include <QTest>

#include "main_dialog_fixture.h"
#include "patch_list/note_names.h"
#include "platform/window/virtual_keys.h"

namespace uitest {
namespace {

class PatchListTest : public MainDialogTest {
 protected:
  void SetUp() override {
    NewPerformance();
    journal.Clear();
  }
  ui::PatchList& list() { return dialog->List(); }
  // One pass of the Performer with these messages queued, then its reports.
  void Pass(std::initializer_list<uint32_t> messages) {
    for (uint32_t message : messages) performer.PushMidi({message, 0});
    performer.RunPass();
    Deliver();
  }
  bool Lit(int note) { return list().item(note, 0)->data(ui::PatchList::kPlayingRole).toBool(); }
  void Key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool repeat = false) {
    QKeyEvent event(type, key, modifiers, QString(), repeat);
    QApplication::sendEvent(&list(), &event);
  }
  static uint32_t On(int channel, int note) { return 0x90u | channel | note << 8 | 100u << 16; }
  static uint32_t Off(int channel, int note) { return 0x80u | channel | note << 8; }
};

TEST(NoteNameTest, OctavesStartAtMinusTwo) {
  EXPECT_EQ(ui::NoteName(0), "C -2");
  EXPECT_EQ(ui::NoteName(13), "C#-1");
  EXPECT_EQ(ui::NoteName(60), "C  3");
  EXPECT_EQ(ui::NoteName(61), "C# 3");
  EXPECT_EQ(ui::NoteName(127), "G  8");
}

TEST_F(PatchListTest, RowsShowPriorityTargetPluginAndSourceFile) {
  workBuffers.names = {"Feedback", "Trails"};
  Assign(10, 0);
  Assign(11, 1);
  Assign(12, 0);
  lv::Bank& bank = *Current()->currentBank;
  bank.slots[11].priority = -5;
  bank.slots[11].target = 1;
  bank.slots[12].target = 5;  // names no work buffer
  static_cast<UiPlug*>(bank.slots[10].patch.get())->inputName = "C:\\Media\\clip.avi";
  dialog->UpdateMainTitle();
  EXPECT_EQ(list().rowCount(), 128);
  struct Row {
    int note;
    const char* texts[5];
  };
  for (const Row& row : {Row{10, {"A#-2", "+0", "0:Screen", "Alpha", "clip.avi"}},
                         Row{11, {"B -2", "-5", "2:Trails", "Beta", ""}},
                         Row{12, {"C -1", "+0", "6:Screen", "Alpha", ""}},
                         Row{13, {"C#-1", "", "", "", ""}}}) {
    for (int column = 0; column < 5; ++column) EXPECT_EQ(Cell(row.note, column), row.texts[column]) << row.note;
  }
}

TEST_F(PatchListTest, NoteReportsLightARowUntilEveryChannelReleasedIt) {
  Current()->channelMask = 0x0003;
  performer.SetChannelMask(0x0003);
  Pass({On(0, 60)});
  EXPECT_TRUE(Lit(60));
  Pass({On(1, 60), Off(0, 60)});
  EXPECT_TRUE(Lit(60));
  Pass({Off(1, 60)});
  EXPECT_FALSE(Lit(60));
  // The marks follow notes, not banks, and only ClearPlaying forgets them.
  Pass({On(0, 61)});
  dialog->UpdateMainTitle();
  EXPECT_TRUE(Lit(61));
  list().ClearPlaying();
  EXPECT_FALSE(Lit(61));
}

TEST_F(PatchListTest, ActiveNoteSelectorIsOnAtStartAndMovesTheFocusToAPlayedNote) {
  dialog->show();
  auto* box = static_cast<QAbstractButton*>(dialog->Item(ids::kActiveNoteSelector));
  EXPECT_TRUE(box->isChecked());
  ASSERT_TRUE(list().Selector());
  Assign(72, 0);
  shelf.shown.clear();
  Pass({On(0, 72)});
  EXPECT_EQ(list().currentRow(), 72);
  ASSERT_FALSE(shelf.shown.empty());
  EXPECT_EQ(shelf.shown.back(), Current()->NoteSlotAt(72));
}

TEST_F(PatchListTest, TheSelectorFlagIsWhatTheBoxShows) {
  auto* box = static_cast<QAbstractButton*>(dialog->Item(ids::kActiveNoteSelector));
  box->setChecked(false);  // set, not clicked
  EXPECT_FALSE(list().Selector());
  Assign(72, 0);
  list().setCurrentCell(3, 0);
  Pass({On(0, 72)});
  EXPECT_EQ(list().currentRow(), 3) << "with the box off a played note leaves the focus";
  box->click();
  EXPECT_TRUE(list().Selector());
  box->click();
  EXPECT_FALSE(list().Selector());
  box->setChecked(true);
  EXPECT_TRUE(list().Selector());
}

TEST_F(PatchListTest, MenusSetPriorityAndTargetThatTheNextNotesPlayBy) {
  workBuffers.names = {"Feedback", "Trails"};
  Assign(20, 0);
  Assign(21, 1);
  dialog->show();
  QApplication::processEvents();
  Current()->modified = 0;
  std::vector<ui::PopupMenu> shown;
  int choice = 0;
  list().SetMenuRunner([&](const ui::PopupMenu& menu, const QPoint&) {
    shown.push_back(menu);
    return choice;
  });
  auto clickMenu = [&](int row, int column, int id) {
    choice = id;
    const QRect cell = list().visualRect(list().model()->index(row, column));
    list().OnContextMenu(list().viewport()->mapToGlobal(cell.center()));
  };
  list().scrollToItem(list().item(20, 0));
  clickMenu(20, ui::kPriorityColumn, 103);  // "3"
  ASSERT_EQ(shown.size(), 1u);
  ASSERT_EQ(shown[0].items.size(), 9u);
  EXPECT_EQ(shown[0].items[0].text, "Set Priority to:");
  EXPECT_FALSE(shown[0].items[0].enabled);
  EXPECT_EQ(shown[0].items[2].id, 97);
  EXPECT_TRUE(shown[0].items[5].checked);  // "0", the slot's priority
  EXPECT_EQ(Current()->NoteSlotAt(20)->priority, 3);
  EXPECT_EQ(Cell(20, 1), "+3");
  EXPECT_EQ(Current()->modified, 1);

  clickMenu(20, ui::kBufferColumn, 101);  // work buffer 1
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].items[2].text, "Screen");
  EXPECT_EQ(shown[1].items[2].id, 99);
  EXPECT_TRUE(shown[1].items[2].checked);
  EXPECT_EQ(shown[1].items[4].text, "Trails");
  EXPECT_EQ(Current()->NoteSlotAt(20)->target, 1);
  EXPECT_EQ(Cell(20, 2), "2:Trails");

  // Note 20 now draws after note 21 although it started first.
  Pass({On(0, 20), On(0, 21)});
  journal.Clear();
  Pass({});
  EXPECT_EQ(journal.Matching("render:"), (std::vector<std::string>{"render:Beta", "render:Alpha"}));
  EXPECT_EQ(journal.Matching("target:").front(), "target:1");

  // No menu while two patched rows are selected.
  list().selectRow(20);
  list().selectionModel()->select(list().model()->index(21, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  clickMenu(20, ui::kPriorityColumn, 100);
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(Current()->NoteSlotAt(20)->priority, 3);
}

TEST_F(PatchListTest, ControlKeysAdjustTheFocusedSlotWithinItsLimits) {
  workBuffers.names = {"Feedback", "Trails"};
  lv::NoteSlot& slot = *Current()->NoteSlotAt(30);  // an empty slot changes too
  list().setCurrentCell(30, 0);
  slot.target = 3;
  Key(QEvent::KeyPress, Qt::Key_PageUp, Qt::ControlModifier);
  EXPECT_EQ(slot.target, 1);
  workBuffers.names.clear();
  Key(QEvent::KeyPress, Qt::Key_PageDown, Qt::ControlModifier);
  EXPECT_EQ(slot.target, -1);
  slot.priority = 126;
  Key(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
  Key(QEvent::KeyPress, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(slot.priority, 127);
  slot.priority = -127;
  Key(QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(slot.priority, -127);
  EXPECT_EQ(Current()->modified, 1);
}

TEST_F(PatchListTest, HeldKeyPlaysItsNoteOnceAndReleasesItOnce) {
  MainDialogTest::dialog.reset();
  ui::MainDialogServices services;
  services.performer = &performer;
  services.kinds = &kinds;
  services.dialogs = &dialogs;
  services.keyNoteMap = [](int key) { return key == 'Q' ? 25 : -1; };
  dialog = std::make_unique<ui::MainDialog>(services);
  static_cast<QAbstractButton*>(dialog->Item(ids::kUseKeyboard))->click();
  ASSERT_TRUE(dialog->Keyboard().enabled);
  Assign(25, 0);
  journal.Clear();
  Key(QEvent::KeyPress, Qt::Key_Q);
  for (int i = 0; i < 5; ++i) {
    Key(QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, true);
    Key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, true);
  }
  performer.RunPass();
  EXPECT_EQ(journal.Matching("on:").size(), 1u);
  EXPECT_EQ(alpha->last->lastVelocity, 127);
  Key(QEvent::KeyRelease, Qt::Key_Q);
  performer.RunPass();
  EXPECT_EQ(journal.Matching("off:").size(), 1u);
  EXPECT_FALSE(performer.IsHeld(25, 0));
}

TEST_F(PatchListTest, BacktickAndArrowKeysReachTheMainDialog) {
  Current()->CreateBank(8);
  Key(QEvent::KeyPress, Qt::Key_Right);
  Deliver();
  EXPECT_EQ(Current()->currentBankNumber, 8);
  Key(QEvent::KeyPress, Qt::Key_Left);
  Deliver();
  EXPECT_EQ(Current()->currentBankNumber, 0);
  Key(QEvent::KeyPress, Qt::Key_QuoteLeft);
  Deliver();
  EXPECT_EQ(display.calls, std::vector<bool>{true});
}

TEST_F(PatchListTest, DoubleClickEditsOrAssignsAndRestoresTheState) {
  dialog->show();
  QApplication::processEvents();
  list().setCurrentCell(33, 0);
  dialogs.plugins = {1};
  const QRect cell = list().visualRect(list().model()->index(33, 0));
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(Cell(33, 3), "Beta");
  EXPECT_EQ(performer.State(), lv::Live);
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(beta->last->configured, 2);
  // A recording is never interrupted for it.
  performer.SetState(lv::Recording);
  QTest::mouseDClick(list().viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
  EXPECT_EQ(beta->last->configured, 2);
  EXPECT_EQ(performer.State(), lv::Recording);
}

}  // namespace
}  // namespace uitest
