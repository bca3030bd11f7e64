// The "Notes" buttons: assign, edit, priority and delete.
#include "main_dialog_fixture.h"

namespace uitest {
namespace {

using NoteCommandsTest = MainDialogTest;

TEST_F(NoteCommandsTest, AssignedNoteGetsDeviceObjectsForTheChannelsPlayingItsBankOnly) {
  NewPerformance();
  // The performance plays channels 0 and 1, but channel 1 has moved to another bank.
  Current()->channelMask = 0x0003;
  performer.SetChannelMask(0x0003);
  lv::Bank* other = Current()->CreateBank(9);
  performer.SetChannelBank(1, other);
  Assign(64, 0);
  lv::Plug* patch = Current()->NotePatch(64);
  ASSERT_NE(patch, nullptr);
  EXPECT_EQ(patch->channelMask, 0x0001);
  EXPECT_EQ(journal.Matching("create:").size(), 1u);
  EXPECT_EQ(Current()->modified, 1);
  EXPECT_EQ(Cell(64, 3), "Alpha");
  ASSERT_FALSE(shelf.shown.empty());
  EXPECT_EQ(shelf.shown.back(), Current()->NoteSlotAt(64));
}

TEST_F(NoteCommandsTest, SettingsDialogRefusingANewAssignmentLeavesTheNoteEmpty) {
  NewPerformance();
  alpha->configureResult = false;
  Assign(40, 0);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].text, "Error assigning note");
  EXPECT_EQ(prompts.Boxes()[0].caption, "Error");
  EXPECT_EQ(Current()->NotePatch(40), nullptr);
  EXPECT_EQ(Current()->NoteSlotAt(40)->bindings.Count(), 0);
  EXPECT_EQ(Cell(40, 3), "");
  EXPECT_EQ(shelf.shown.back(), Current()->NoteSlotAt(40));  // the shelf shows the emptied slot
  EXPECT_EQ(performer.State(), lv::Live);
}

TEST_F(NoteCommandsTest, KindThatCannotBeCreatedIsReportedAndAssignsNothing) {
  kinds.Add("Fixed", "Sources", "not creatable", lv::kKindNotCreatable);
  NewPerformance();
  Assign(41, 2);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  EXPECT_EQ(prompts.Boxes()[0].text, "Error assigning note");
  EXPECT_EQ(Current()->NotePatch(41), nullptr);
}

TEST_F(NoteCommandsTest, ReassigningAnAssignedNoteAsksAndCancellingTheChooserLeavesNoStalePatch) {
  NewPerformance();
  Assign(50, 0);
  lv::NoteSlot* slot = Current()->NoteSlotAt(50);
  prompts.answer = window::kIdNo;
  Assign(50, 1);
  EXPECT_EQ(prompts.Boxes().back().text, "This note is already assigned.  Do you wish to clear it?");
  EXPECT_EQ(prompts.Boxes().back().caption, "Note in use");
  EXPECT_EQ(prompts.Boxes().back().defaultButton, 1);
  EXPECT_EQ(Cell(50, 3), "Alpha");

  prompts.answer = window::kIdYes;
  shelf.shown.clear();
  dialogs.notes = {50};
  dialogs.plugins = {};  // the chooser is cancelled
  dialog->Command(ids::kAssign);
  EXPECT_FALSE(slot->patch);
  EXPECT_EQ(Cell(50, 3), "");
  ASSERT_FALSE(shelf.shown.empty());
  EXPECT_EQ(shelf.shown.back(), slot);
}

TEST_F(NoteCommandsTest, DeletingANoteReleasesItWhileEditingSoNoNoteOnCanRestartIt) {
  NewPerformance();
  Assign(60, 0);
  UiPlug* patch = alpha->last;
  performer.NoteOn(0, 0x90u | 60u << 8 | 100u << 16);
  ASSERT_EQ(performer.ActiveNoteCount(), 1);
  int destroyed = 0;
  patch->destroyed = &destroyed;
  const size_t boxes = prompts.Boxes().size();
  dialogs.notes = {60};
  dialog->Command(ids::kDeleteNote);
  EXPECT_EQ(prompts.Boxes().size(), boxes);  // no question
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
  EXPECT_EQ(journal.Matching("state-at-off:"), std::vector<std::string>{"state-at-off:6"});
  EXPECT_EQ(Cell(60, 3), "");
  EXPECT_EQ(performer.State(), lv::Live);
}

TEST_F(NoteCommandsTest, PatchIsEditedWithItsDeviceObjectsRemade) {
  NewPerformance();
  Assign(61, 0);
  UiPlug* patch = alpha->last;
  journal.Clear();
  dialogs.notes = {61};
  dialog->Command(ids::kEdit);
  EXPECT_EQ(patch->configured, 2);
  EXPECT_EQ(journal.Matching("release:").size(), 1u);
  EXPECT_EQ(journal.Matching("create:").size(), 1u);
  EXPECT_EQ(patch->channelMask, 0x0001);
  dialogs.notes = {62};
  dialog->Command(ids::kEdit);
  EXPECT_EQ(prompts.Boxes().back().text, "This note is not assigned.");
  EXPECT_EQ(prompts.Boxes().back().caption, "Note unused");
}

TEST_F(NoteCommandsTest, PriorityAnswerChangesTheSlotAndNoChangeKeepsIt) {
  NewPerformance();
  Assign(70, 0);
  dialogs.notes = {70};
  dialogs.priorities = {-5};
  dialog->Command(ids::kPriority);
  EXPECT_EQ(Current()->NoteSlotAt(70)->priority, -5);
  EXPECT_EQ(Cell(70, 1), "-5");
  dialogs.notes = {70};
  dialogs.priorities = {ui::NoteDialogs::kNoPriority};
  dialog->Command(ids::kPriority);
  EXPECT_EQ(Current()->NoteSlotAt(70)->priority, -5);
}

TEST_F(NoteCommandsTest, NoteButtonsDoNothingOutsideTheLiveState) {
  NewPerformance();
  for (lv::PerformerState state :
       {lv::Halted, lv::NoteSelect, lv::FullScreen, lv::Editing, lv::Recording, lv::PlayingCapture}) {
    performer.SetState(state);
    for (int id : {ids::kAssign, ids::kEdit, ids::kPriority, ids::kDeleteNote}) {
      dialogs.notes = {5};
      dialog->Command(id);
    }
    EXPECT_TRUE(dialogs.calls.empty()) << "state " << state;
    EXPECT_EQ(performer.State(), state);
  }
  EXPECT_TRUE(prompts.Boxes().empty());
}

TEST_F(NoteCommandsTest, NoteButtonsWithoutABankSayWhy) {
  NewPerformance();
  prompts.answer = window::kIdYes;
  dialog->Command(ids::kDeleteBank);  // the only bank
  ASSERT_EQ(Current()->currentBank, nullptr);
  struct Case {
    int id;
    const char* text;
  };
  for (const Case& c : {Case{ids::kAssign, "You need to create a patch bank to put the note in"},
                        Case{ids::kEdit, "There is no patch bank, and hence, no active notes"},
                        Case{ids::kPriority, "There is no patch bank, and hence, no active notes"},
                        Case{ids::kDeleteNote, "You need a patch bank to delete notes from"}}) {
    dialog->Command(c.id);
    EXPECT_EQ(prompts.Boxes().back().text, c.text);
    EXPECT_EQ(prompts.Boxes().back().caption, "No patch bank selected");
  }
  EXPECT_TRUE(dialogs.calls.empty());
}

}  // namespace
}  // namespace uitest
