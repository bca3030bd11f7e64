// The output window's keys and deactivation.
#include "app/output_window_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "performer/performer.h"
#include "platform/window/virtual_keys.h"
#include "recording_window.h"

namespace {
namespace vk = window::vk;

uint32_t FixedClock() { return 4321; }

class OutputWindowCommandsTest : public testing::Test {
 protected:
  OutputWindowCommandsTest() {
    performance->CreateBank(2);
    performance->CreateBank(5);
    performance->CreateBank(9);
    performance->SelectBank(5);
    performance->channelMask = 0x0008;
    performer.SetPerformance(performance);
  }

  lv::OutputWindowCommands Commands() {
    lv::OutputWindowCommands::Connections c;
    c.mainDialog = &mainDialog;
    c.setWindowed = [this] { ++windowedSwitches; };
    c.clearPlayingMarks = [this] { ++marksCleared; };
    c.keyboardPlay = [this] { return play; };
    c.clock = FixedClock;
    c.push = [this](const lv::MidiEvent& e) { pushed.push_back(e.message); stamps.push_back(e.time); };
    return lv::OutputWindowCommands(performer, c);
  }

  lv::Performer performer;
  lv::Performance* performance = new lv::Performance;
  lvtest::RecordingWindow mainDialog;
  lv::KeyboardPlay play{true, 3};
  std::vector<uint32_t> pushed;
  std::vector<uint32_t> stamps;
  int windowedSwitches = 0;
  int marksCleared = 0;
};

TEST_F(OutputWindowCommandsTest, AHeldKeyPlaysOneNoteAndItsReleaseEndsIt) {
  auto commands = Commands();
  commands.KeyDown('Q', false);
  for (int repeat = 0; repeat < 3; ++repeat) commands.KeyDown('Q', true);
  commands.KeyUp('Q');
  EXPECT_EQ(pushed, (std::vector<uint32_t>{0x93 | 25u << 8 | 127u << 16, 0x83 | 25u << 8}));
  EXPECT_EQ(stamps, (std::vector<uint32_t>{4321, 4321}));

  pushed.clear();
  play.enabled = false;
  commands.KeyDown('Q', false);
  commands.KeyUp('Q');
  commands.KeyDown(vk::kUp, false);
  EXPECT_TRUE(pushed.empty());
}

TEST_F(OutputWindowCommandsTest, UpAndDownStepThroughTheBanks) {
  struct Case {
    int bank;
    int key;
    std::vector<uint32_t> pushed;
  } cases[] = {
      {5, vk::kUp, {0xC3 | 9u << 8}},
      {5, vk::kDown, {0xC3 | 2u << 8}},
      {9, vk::kUp, {}},
      {2, vk::kDown, {}},
  };
  auto commands = Commands();
  for (const Case& c : cases) {
    performer.SetChannelBank(3, performance->FindBank(static_cast<uint8_t>(c.bank)));
    pushed.clear();
    commands.KeyDown(c.key, false);
    EXPECT_EQ(pushed, c.pushed) << "bank " << c.bank << " key " << c.key;
  }
}

TEST_F(OutputWindowCommandsTest, EscEndsAPlaybackOrLeavesFullScreen) {
  auto commands = Commands();
  performer.SetState(lv::PlayingCapture);
  commands.KeyDown(vk::kEscape, false);
  EXPECT_EQ(windowedSwitches, 0);
  ASSERT_EQ(mainDialog.Posted().size(), 1u);
  EXPECT_EQ(mainDialog.Posted()[0].message, lv::kPlaybackEndMessage);

  performer.SetState(lv::FullScreen);
  commands.KeyDown(vk::kEscape, false);
  EXPECT_EQ(windowedSwitches, 1);

  commands.KeyDown(vk::kSpace, false);
  EXPECT_EQ(marksCleared, 1);
  EXPECT_TRUE(pushed.empty());
}

TEST_F(OutputWindowCommandsTest, DeactivationLeavesFullScreenOnTheFirstAdapterOnly) {
  struct Case {
    lv::PerformerState state;
    int adapter;
    int switches;
  } cases[] = {{lv::FullScreen, 0, 1}, {lv::FullScreen, 1, 0}, {lv::Live, 0, 0}};
  auto commands = Commands();
  for (const Case& c : cases) {
    windowedSwitches = 0;
    performer.SetState(c.state);
    performance->displayAdapter = c.adapter;
    commands.Deactivated();
    EXPECT_EQ(windowedSwitches, c.switches) << c.state << " adapter " << c.adapter;
  }
}

}  // namespace
