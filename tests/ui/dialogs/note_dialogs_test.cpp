// The small dialogs on the program's layouts, driven as the user would.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "dialogs/program_note_dialogs.h"
#include "fake_frame_device.h"
#include "modal_driver.h"

namespace {

class NoteDialogsTest : public testing::Test {
 protected:
  NoteDialogsTest() { performer.SetDevice(&device); }

  // Types `text` into field `fieldId` of the next dialog and presses OK.
  static void TypeAndOk(int fieldId, const char* text) {
    WhenModal<QDialog>([fieldId, text](QDialog* dialog) {
      auto* field = dialog->findChild<QLineEdit*>(QString::number(fieldId));
      field->clear();
      QTest::keyClicks(field, text);
      dialog->findChild<QPushButton*>("1")->click();
    });
  }

  lvtest::Journal journal;
  lvtest::FakeFrameDevice device{&journal};
  lv::Performer performer;
  ui::MessageHub hub;
  ui::KeyboardPlay keyboard;
  ui::ProgramNoteDialogs dialogs{performer, hub, keyboard, nullptr, nullptr};
};

TEST_F(NoteDialogsTest, SelectANoteTakesATypedNumberOrThePlayedNote) {
  TypeAndOk(1010, "128");
  EXPECT_EQ(dialogs.SelectNote(nullptr), 127);
  TypeAndOk(1010, "0");
  EXPECT_EQ(dialogs.SelectNote(nullptr), -1);

  lv::PerformerState stateWhileOpen = lv::Live;
  WhenModal<QDialog>([&](QDialog*) {
    stateWhileOpen = performer.State();
    hub.Post(lv::kNoteOnMessage, 3, 42);  // as the render thread reports a note-on
  });
  EXPECT_EQ(dialogs.SelectNote(nullptr), 42);
  EXPECT_EQ(stateWhileOpen, lv::NoteSelect);
  // The reports go back to the main dialog afterwards.
  int delivered = 0;
  hub.SetHandler([&](uint32_t, uintptr_t, intptr_t) { ++delivered; });
  hub.Post(lv::kNoteOnMessage, 0, 1);
  QApplication::processEvents();
  EXPECT_EQ(delivered, 1);
}

TEST_F(NoteDialogsTest, SelectANoteWithKeyboardPlayTurnsAMappedKeyIntoItsNote) {
  keyboard.enabled = true;
  keyboard.keyNoteMap = [](int key) { return key == 'Q' ? 25 : -1; };
  WhenModal<QDialog>([](QDialog* dialog) {
    auto* field = dialog->findChild<QLineEdit*>("1010");
    QTest::keyClick(field, Qt::Key_W);  // not a note, and no typing either
    EXPECT_TRUE(field->text().isEmpty());
    QTest::keyClick(field, Qt::Key_Q);
  });
  EXPECT_EQ(dialogs.SelectNote(nullptr), 25);
}

TEST_F(NoteDialogsTest, CreateNewPatchShowsTheProposalFromOne) {
  QString shown;
  WhenModal<QDialog>([&shown](QDialog* dialog) {
    shown = dialog->findChild<QLineEdit*>("1007")->text();
    dialog->findChild<QPushButton*>("1")->click();
  });
  EXPECT_EQ(dialogs.CreateNewPatch(nullptr, 6), 6);
  EXPECT_EQ(shown, "7");
  TypeAndOk(1007, "129");
  EXPECT_EQ(dialogs.CreateNewPatch(nullptr, 6), -1);
}

TEST_F(NoteDialogsTest, PriorityDialogStartsAtTheCurrentPriority) {
  QString shown;
  WhenModal<QDialog>([&shown](QDialog* dialog) {
    shown = dialog->findChild<QLineEdit*>("1032")->text();
    dialog->findChild<QPushButton*>("2")->click();
  });
  EXPECT_EQ(dialogs.SelectPriority(nullptr, -4), ui::NoteDialogs::kNoPriority);
  EXPECT_EQ(shown, "-4");
  TypeAndOk(1032, "-127");
  EXPECT_EQ(dialogs.SelectPriority(nullptr, 0), -127);
}

TEST_F(NoteDialogsTest, SetPatchNameKeepsLongNamesWhole) {
  lv::Bank bank;
  const std::string name(300, 'n');
  TypeAndOk(1052, name.c_str());
  EXPECT_TRUE(dialogs.SetPatchName(nullptr, bank));
  EXPECT_EQ(bank.Name(), name);
}

}  // namespace
