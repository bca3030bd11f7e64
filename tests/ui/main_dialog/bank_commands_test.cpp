// The "Patch Bank" buttons and the bank scroll bar.
#include <QScrollBar>

#include "main_dialog_fixture.h"

namespace uitest {
namespace {

using BankCommandsTest = MainDialogTest;

TEST_F(BankCommandsTest, CreateNewProposesTheLowestFreeNumberAndPlaysTheNewBankOnEveryChannel) {
  NewPerformance();
  for (int number = 1; number <= 5; ++number) Current()->CreateBank(static_cast<uint8_t>(number));
  dialogs.bankNumbers = {6};
  dialog->Command(ids::kCreateNew);
  ASSERT_EQ(dialogs.proposals, std::vector<int>{6});
  EXPECT_EQ(Current()->currentBankNumber, 6);
  for (uint8_t channel = 0; channel < 16; ++channel) EXPECT_EQ(performer.ChannelBank(channel), Current()->currentBank);
  EXPECT_EQ(Text(ids::kBankNumber), "7");
  EXPECT_EQ(Text(ids::kBankName), "(unnamed)");
  auto* scroll = static_cast<QScrollBar*>(dialog->Item(ids::kBankScroll));
  EXPECT_EQ(scroll->maximum(), 6);
  EXPECT_EQ(scroll->value(), 6);
}

TEST_F(BankCommandsTest, CreateNewOverAnExistingBankAsksFirst) {
  NewPerformance();
  prompts.answer = window::kIdNo;
  dialogs.bankNumbers = {0};
  dialog->Command(ids::kCreateNew);
  EXPECT_EQ(prompts.Boxes().back().text, "This patch already exists.  Do you wish to clear it?");
  EXPECT_EQ(prompts.Boxes().back().caption, "Patch in use");
  EXPECT_EQ(Current()->banks.Count(), 1);
}

TEST_F(BankCommandsTest, DeletingTheLastBankLeavesNoCurrentBank) {
  NewPerformance();
  Assign(3, 0);
  prompts.answer = window::kIdYes;
  dialog->Command(ids::kDeleteBank);
  EXPECT_EQ(prompts.Boxes().back().text, "Are you sure you wish to delete the current patch?");
  EXPECT_EQ(prompts.Boxes().back().caption, "Delete Patch");
  EXPECT_EQ(Current()->currentBankNumber, -1);
  EXPECT_EQ(Current()->currentBank, nullptr);
  EXPECT_EQ(Text(ids::kBankNumber), "---");
  EXPECT_EQ(Text(ids::kBankName), "");
  EXPECT_EQ(performer.ChannelBank(0), nullptr);
  EXPECT_EQ(shelf.shown.back(), nullptr);
  EXPECT_FALSE(dialog->Item(ids::kBankScroll)->isEnabled());
}

TEST_F(BankCommandsTest, DeletingABankMovesToTheNextOneOrElseThePrevious) {
  NewPerformance();
  Current()->CreateBank(3);
  Current()->CreateBank(7);
  dialog->BankScroll(window::ScrollCode::kLineRight, 0);  // bank 3
  prompts.answer = window::kIdYes;
  dialog->Command(ids::kDeleteBank);
  EXPECT_EQ(Current()->currentBankNumber, 7);
  dialog->Command(ids::kDeleteBank);
  EXPECT_EQ(Current()->currentBankNumber, 0);
}

TEST_F(BankCommandsTest, ScrollCodesPickBanksAndThumbTrackingOnlyShowsThem) {
  NewPerformance();
  Current()->CreateBank(3)->SetName("Drums & Bass");
  Current()->CreateBank(7);
  struct Step {
    window::ScrollCode code;
    int position;
    int expectedNumber;
  };
  for (const Step& step : {Step{window::ScrollCode::kRight, 0, 7}, Step{window::ScrollCode::kLineLeft, 0, 3},
                           Step{window::ScrollCode::kLineLeft, 0, 0}, Step{window::ScrollCode::kLineLeft, 0, 0},
                           Step{window::ScrollCode::kPageRight, 0, 3}, Step{window::ScrollCode::kThumbPosition, 2, 7},
                           Step{window::ScrollCode::kLeft, 0, 0}}) {
    dialog->BankScroll(step.code, step.position);
    EXPECT_EQ(Current()->currentBankNumber, step.expectedNumber);
    EXPECT_EQ(performer.ChannelBank(5), Current()->currentBank);
  }
  dialog->BankScroll(window::ScrollCode::kThumbTrack, 1);
  EXPECT_EQ(Current()->currentBankNumber, 0);
  EXPECT_EQ(Text(ids::kBankNumber), "4");
  EXPECT_EQ(Text(ids::kBankName), "Drums & Bass");
}

TEST_F(BankCommandsTest, RenameNamesTheBankAndMarksThePerformanceModified) {
  NewPerformance();
  Current()->modified = 0;
  dialogs.name = "Intro";
  dialog->Command(ids::kRename);
  EXPECT_STREQ(Current()->currentBank->Name(), "Intro");
  EXPECT_EQ(Text(ids::kBankName), "Intro");
  EXPECT_EQ(Current()->modified, 1);
}

}  // namespace
}  // namespace uitest
