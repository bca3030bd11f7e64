#include <gtest/gtest.h>

#include "performer_fixture.h"

namespace lvtest {
namespace {

using Dispatch = PerformerTest;

TEST_F(Dispatch, EachMessageKindDoesWhatItsStatusSays) {
  AddPatch(60, "A");
  // Channel 1 is not played but has a bank, to see what reaches it.
  lv::Bank* other = performance->CreateBank(1);
  AddPatch(60, "B", 0, -1, other);
  performance->channelMask = 0x0003;
  Play();
  performer.SetChannelBank(1, other);
  performer.SetChannelMask(0x0001);
  Pass({NoteOnMessage(1, 60, 90)});  // not in the mask: nothing at all
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
  EXPECT_FALSE(performer.IsHeld(60, 1));
  performer.SetChannelMask(0x0003);
  Pass({NoteOnMessage(1, 60, 90)});
  performer.SetChannelMask(0x0001);
  journal.Clear();

  struct Case {
    const char* what;
    uint32_t message;
    std::vector<std::string> calls;  // journal entries of the patches
  };
  const Case cases[] = {
      {"note on", NoteOnMessage(0, 60, 64), {"on:A"}},
      {"velocity 0 is a note off", NoteOnMessage(0, 60, 0), {"off:A"}},
      {"note on again", NoteOnMessage(0, 60, 64), {"on:A"}},
      {"note off", NoteOffMessage(0, 60), {"off:A"}},
      {"controller 123 ends notes outside the mask too", Message(0xB1, 123), {"off:B"}},
      {"controllers 124-127 change nothing", Message(0xB0, 124, 5), {}},
      {"aftertouch is ignored", Message(0xA0, 60, 5), {}},
      {"channel pressure is ignored", Message(0xD0, 60), {}},
      {"a data byte as status is ignored", Message(0x3C, 0x40), {}},
  };
  for (const Case& c : cases) {
    Pass({c.message});
    EXPECT_EQ(journal.Matching("o"), c.calls) << c.what;
    journal.Clear();
  }
}

TEST_F(Dispatch, ControllersPitchBendAndClockLandInTheTable) {
  Play();
  const lv::MidiControllerTable& table = performer.Controllers();

  Pass({Message(0xB1, 7, 10)});  // a channel outside the mask is stored too
  EXPECT_EQ(table.Get(1, 7), 10);
  EXPECT_EQ(performer.LastController(), 7);

  Pass({Message(0xE0, 0x00, 0x40)});  // bend 0x2000
  EXPECT_EQ(table.Get(0, 123), 64);
  EXPECT_EQ(table.Get(0, 124), 0);
  EXPECT_EQ(performer.LastController(), 123);

  Pass({Message(0xB0, 1, 5), Message(0xB0, 123, 9), Message(0xB0, 125, 9), Message(0xE1, 0x11, 0x22)});
  EXPECT_EQ(performer.LastController(), 1);  // nothing after controller 1 counted
  EXPECT_EQ(table.Get(0, 125), 0);
  EXPECT_EQ(table.Get(1, 123), 0);
  EXPECT_EQ(table.Get(1, 124), 0);

  Pass({Message(0xF8), Message(0xF8), Message(0xF8)});
  EXPECT_EQ(table.Clock(), 3u);
  Pass({Message(0xFA), Message(0xF8)});
  EXPECT_EQ(table.Clock(), 1u);
}

TEST_F(Dispatch, ProgramChangeSelectsTheBankOfThatNumberOrNone) {
  AddPatch(60, "A");
  lv::Bank* three = performance->CreateBank(3);
  AddPatch(60, "C", 0, -1, three);
  Play();

  Pass({Message(0xC0, 3), NoteOnMessage(0, 60, 100)});
  EXPECT_EQ(performer.ChannelBank(0), three);
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"begin", "release:A", "create:C", "on:C", "render:C",
                                                         "target:-1", "end", "present"}));
  journal.Clear();

  Pass({Message(0xC0, 8), NoteOnMessage(0, 61, 100)});  // no bank 8: the channel falls silent
  EXPECT_EQ(performer.ChannelBank(0), nullptr);
  EXPECT_EQ(journal.Matching("o"), (std::vector<std::string>{"off:C"}));
  EXPECT_EQ(journal.Matching("release"), (std::vector<std::string>{"release:C"}));
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
  EXPECT_TRUE(performer.IsHeld(61, 0));

  Pass({Message(0xC1, 3)});  // a channel outside the mask keeps its bank
  EXPECT_EQ(performer.ChannelBank(1), nullptr);
}

TEST_F(Dispatch, ProgramChangesWhileHaltedWaitForTheSwitchToEnd) {
  AddPatch(60, "A");
  lv::Bank* three = performance->CreateBank(3);
  AddPatch(60, "C", 0, -1, three);
  Play();
  performer.SetState(lv::Halted);
  Pass({Message(0xC0, 3)});
  EXPECT_EQ(performer.ChannelBank(0), bank);
  performer.SetState(lv::Live);
  Pass();
  EXPECT_EQ(performer.ChannelBank(0), three);

  // A performance switch drops what was waiting, and never dereferences a
  // missing performance.
  performer.SetState(lv::Halted);
  Pass({Message(0xC0, 0)});
  performer.SetPerformance(nullptr);
  EXPECT_EQ(performer.ChannelMask(), 0u);
  for (int channel = 0; channel < 16; ++channel) EXPECT_EQ(performer.ChannelBank(static_cast<uint8_t>(channel)), nullptr);
  performer.SetState(lv::Live);
  performer.SetChannelMask(0x0001);
  Pass({Message(0xC0, 3)});
  EXPECT_EQ(performer.ChannelBank(0), nullptr);
  performer.SetPerformance(performance);
}

}  // namespace
}  // namespace lvtest
