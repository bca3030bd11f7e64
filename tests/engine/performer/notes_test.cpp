#include <gtest/gtest.h>

#include "performer/bank_progress.h"
#include "performer_fixture.h"

namespace lvtest {
namespace {

using Strings = std::vector<std::string>;
using Notes = PerformerTest;

TEST_F(Notes, HigherPrioritiesDrawLaterAndEqualOnesInArrivalOrder) {
  AddPatch(60, "A", 0);
  AddPatch(61, "B", 5);
  AddPatch(62, "C", 0);
  AddPatch(63, "D", -2);
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOnMessage(0, 61, 100), NoteOnMessage(0, 62, 100), NoteOnMessage(0, 63, 1)});
  EXPECT_EQ(journal.Matching("render"), (Strings{"render:D", "render:A", "render:C", "render:B"}));
  journal.Clear();

  // A second note-on restarts the instance at the end of its priority group.
  Pass({NoteOnMessage(0, 60, 33)});
  EXPECT_EQ(journal.Matching("o"), (Strings{"off:A", "on:A"}));
  EXPECT_EQ(journal.Matching("render"), (Strings{"render:D", "render:C", "render:A", "render:B"}));
  EXPECT_EQ(static_cast<TestPlug*>(bank->slots[60].patch.get())->lastVelocity, 33);
  EXPECT_EQ(performer.ActiveNoteCount(), 4);
}

TEST_F(Notes, HoldKeepsReleasedNotesUntilAKeyGoesDownOnAnIdleChannel) {
  AddPatch(60, "A");
  AddPatch(61, "B");
  AddPatch(62, "C");
  performance->hold = 1;
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOffMessage(0, 60)});
  Pass();
  EXPECT_EQ(journal.Matching("render"), (Strings{"render:A", "render:A"}));
  journal.Clear();
  Pass({NoteOnMessage(0, 61, 100)});
  EXPECT_EQ(journal.Matching("o"), (Strings{"off:A", "on:B"}));
  journal.Clear();

  // With another key of the channel still down the held notes stay.
  Pass({NoteOnMessage(0, 62, 100), NoteOffMessage(0, 61), NoteOnMessage(0, 60, 100)});
  EXPECT_EQ(journal.Matching("o"), (Strings{"on:C", "on:A"}));
  EXPECT_EQ(performer.ActiveNoteCount(), 3);
}

TEST_F(Notes, AKeptNoteRendersAfterItsKeyIsUpUntilThePatchLetsGo) {
  TestPlug* a = AddPatch(60, "A");
  a->keepAfterNoteOff = true;
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOffMessage(0, 60)});
  Pass();
  EXPECT_EQ(journal.Matching("render"), (Strings{"render:A", "render:A"}));
  EXPECT_TRUE(journal.Matching("off").empty());
  a->keepAfterNoteOff = false;
  journal.Clear();
  Pass();
  EXPECT_EQ(journal.Matching("o"), (Strings{"off:A"}));
  EXPECT_TRUE(journal.Matching("render").empty());
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
}

TEST_F(Notes, EachStateReportsPlaysOrIgnoresNotes) {
  AddPatch(60, "A");
  struct Case {
    lv::PerformerState state;
    bool plays, reports;
  };
  const Case cases[] = {{lv::Live, true, true},      {lv::NoteSelect, false, true}, {lv::FullScreen, true, false},
                        {lv::Editing, false, false}, {lv::Halted, false, false},    {lv::Recording, true, true}};
  Play();
  for (const Case& c : cases) {
    performer.SetState(c.state);
    noteWindow.Clear();
    journal.Clear();
    Pass({NoteOnMessage(0, 60, 100)});
    EXPECT_EQ(journal.Matching("on:A").size(), c.plays ? 1u : 0u) << "state " << c.state;
    EXPECT_TRUE(performer.IsHeld(60, 0)) << "state " << c.state;
    Pass({NoteOffMessage(0, 60)});
    EXPECT_FALSE(performer.IsHeld(60, 0));
    const std::vector<PostedMessage> reports{{lv::kNoteOnMessage, 0, 60}, {lv::kNoteOffMessage, 0, 60}};
    EXPECT_EQ(noteWindow.Posted(), c.reports ? reports : std::vector<PostedMessage>{}) << "state " << c.state;
    EXPECT_EQ(performer.ActiveNoteCount(), 0) << "state " << c.state;
  }
}

TEST_F(Notes, ANoteReleasedWhileEditingEndsOnTheNextDrawingFrame) {
  AddPatch(60, "A");
  Play();
  Pass({NoteOnMessage(0, 60, 100)});
  performer.SetState(lv::Editing);
  Pass({NoteOffMessage(0, 60)});
  EXPECT_FALSE(performer.IsHeld(60, 0));
  EXPECT_EQ(performer.HeldCount(0), 0);
  EXPECT_EQ(performer.ActiveNoteCount(), 1);
  journal.Clear();
  performer.SetState(lv::Live);
  Pass();
  EXPECT_EQ(journal.Matching("o"), (Strings{"off:A"}));
}

TEST_F(Notes, NotesEndOnTheirOwnRenderTargetAndTheFrameEndsOnTheBackBuffer) {
  AddPatch(60, "W", 0, 1);
  AddPatch(61, "X", 0, 5);    // names no work buffer: the screen
  AddPatch(62, "Y", 0, 200);  // does not even fit the note's byte
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOnMessage(0, 61, 100), NoteOnMessage(0, 62, 100)});
  EXPECT_EQ(journal.Entries(), (Strings{"begin", "target:1", "on:W", "target:-1", "on:X", "on:Y", "target:1",
                                        "render:W", "target:-1", "render:X", "render:Y", "target:-1", "end",
                                        "present"}));
  journal.Clear();

  // Retired by the frame walk (the key went up while editing) ...
  performer.SetState(lv::Editing);
  Pass({NoteOffMessage(0, 60)});
  performer.SetState(lv::Live);
  journal.Clear();
  Pass();
  EXPECT_EQ(journal.Entries(),
            (Strings{"begin", "target:1", "off:W", "target:-1", "render:X", "render:Y", "target:-1", "end", "present"}));

  // ... or by the key release itself.
  Pass({NoteOnMessage(0, 60, 100)});
  journal.Clear();
  Pass({NoteOffMessage(0, 60)});
  EXPECT_EQ(journal.Entries(), (Strings{"begin", "target:1", "off:W", "target:-1", "render:X", "render:Y",
                                        "target:-1", "end", "present"}));
}

TEST_F(Notes, APatchThatCannotCreateItsObjectsStaysSilentUntilItsBankIsSelectedAgain) {
  TestPlug* broken = AddPatch(60, "F");
  broken->createResult = false;
  lv::Bank* other = performance->CreateBank(1);
  Play();
  EXPECT_EQ(broken->channelMask, 0);
  Pass({NoteOnMessage(0, 60, 100)});
  EXPECT_TRUE(journal.Matching("on").empty());
  EXPECT_TRUE(performer.IsHeld(60, 0));

  broken->createResult = true;
  Pass({NoteOffMessage(0, 60), NoteOnMessage(0, 60, 100)});
  EXPECT_TRUE(journal.Matching("on").empty());  // still the same selection

  performer.SetChannelBank(0, other);
  EXPECT_TRUE(journal.Matching("release").empty());  // nothing was created, nothing to release
  performer.SetChannelBank(0, bank);
  Pass({NoteOnMessage(0, 60, 100)});
  EXPECT_EQ(journal.Matching("on"), (Strings{"on:F"}));
}

TEST_F(Notes, ABankSharedByTwoChannelsKeepsItsObjectsUntilTheLastLeaves) {
  AddPatch(60, "A");
  AddPatch(70, "B");
  Play();
  EXPECT_EQ(journal.Entries(), Strings{});
  performer.SetChannelBank(1, bank);
  EXPECT_TRUE(journal.Matching("create").empty());
  EXPECT_EQ(bank->slots[60].patch->channelMask, 0x0003);
  performer.SetChannelBank(0, nullptr);
  EXPECT_TRUE(journal.Matching("release").empty());
  performer.SetChannelBank(1, nullptr);
  EXPECT_EQ(journal.Matching("release"), (Strings{"release:A", "release:B"}));
  EXPECT_EQ(bank->slots[70].patch->channelMask, 0);
  EXPECT_EQ(performer.State(), lv::Live);  // restored after each switch
}

class JournalProgress : public lv::BankProgress {
 public:
  explicit JournalProgress(Journal* journal) : journal_(journal) {}
  void Begin() override { journal_->Add("progress:begin"); }
  void SetPosition(int percent) override { journal_->Add("progress:" + std::to_string(percent)); }
  void End() override { journal_->Add("progress:end"); }

 private:
  Journal* journal_;
};

TEST_F(Notes, LoadingABankLiveOnChannelZeroShowsProgressPerCreatedPatch) {
  JournalProgress progress(&journal);
  performer.SetBankProgress(&progress);
  lv::Bank* four = performance->CreateBank(4);
  TestPlug* plugs[] = {AddPatch(1, "P", 0, -1, four), AddPatch(2, "Q", 0, -1, four), AddPatch(3, "R", 0, -1, four),
                       AddPatch(4, "S", 0, -1, four)};
  Play();
  // On channel 1 only Q succeeds, so one of the four is live already.
  for (TestPlug* plug : plugs) plug->createResult = plug == plugs[1];
  performer.SetChannelBank(1, four);
  for (TestPlug* plug : plugs) plug->createResult = true;
  journal.Clear();

  performer.SetChannelBank(0, four);
  EXPECT_EQ(journal.Entries(), (Strings{"progress:begin", "create:P", "progress:25", "create:R", "progress:50",
                                        "create:S", "progress:75", "progress:end"}));

  // No progress for an empty bank, off channel 0, or when not live.
  journal.Clear();
  performer.SetChannelBank(0, performance->CreateBank(9));
  performer.SetState(lv::FullScreen);
  performer.SetChannelBank(0, four);
  EXPECT_TRUE(journal.Matching("progress").empty());
}

TEST_F(Notes, ReleaseNoteAndStopAllNotesEndWhateverKeepAndHoldSay) {
  TestPlug* a = AddPatch(60, "A");
  AddPatch(61, "B");
  a->keepAfterNoteOff = true;
  performance->hold = 1;
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOnMessage(0, 61, 100)});
  performer.ReleaseNote(60);
  EXPECT_EQ(journal.Matching("o"), (Strings{"on:A", "on:B", "off:A"}));
  EXPECT_FALSE(performer.IsHeld(60, 0));
  EXPECT_EQ(performer.HeldCount(0), 1);
  performer.StopAllNotes();
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
  EXPECT_EQ(performer.HeldCount(0), 0);
  EXPECT_FALSE(performer.IsHeld(61, 0));
}

TEST_F(Notes, NotesEndedOutsideAPassEndInASceneOfTheirOwnEachOnItsTarget) {
  AddPatch(60, "W", 0, 1);
  AddPatch(61, "X");
  Play();
  Pass({NoteOnMessage(0, 60, 100), NoteOnMessage(0, 61, 100)});
  journal.Clear();
  performer.StopAllNotes();
  EXPECT_EQ(journal.Entries(), (Strings{"begin", "target:1", "off:W", "target:-1", "off:X", "end"}));

  // Nothing playing: no scene.
  journal.Clear();
  performer.StopAllNotes();
  performer.ReleaseNote(60);
  EXPECT_TRUE(journal.Entries().empty());
}

TEST_F(Notes, StopReleasesEveryChannelsBankAndDeletesThePerformance) {
  int destroyed = 0;
  AddPatch(60, "A")->destroyed = &destroyed;
  Play();
  performer.SetChannelBank(9, bank);  // a channel outside the mask, as a windowed display switch leaves it
  Pass({NoteOnMessage(0, 60, 100)});
  journal.Clear();
  performer.Stop();
  EXPECT_EQ(journal.Entries(), (Strings{"begin", "off:A", "end", "release:A"}));
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(performer.GetPerformance(), nullptr);
}

}  // namespace
}  // namespace lvtest
