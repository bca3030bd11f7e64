// The display switch against a real device: which channels get their bank
// back, what the host object learns, a mode the screen does not list, a
// start without any device, and a program change in the middle of a switch.
#include "display/set_display.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "display/display_frame_device.h"
#include "display/display_host_state.h"
#include "performer/performer.h"
#include "recording_display_environment.h"
#include "scripted_graphics_system.h"
#include "test_plug.h"
#include "workbuffers/work_buffer.h"

namespace {

using lvtest::Journal;

class SetDisplayTest : public testing::Test {
 protected:
  SetDisplayTest() {
    performance->channelMask = 0x0005;
    performance->width = 1024;
    performance->height = 768;
    performance->bitsPerPixel = 32;
    performance->refreshRate = 60;
    bankA = performance->CreateBank(1);
    bankB = performance->CreateBank(2);
    AddPatch(bankA, 60, "A");
    AddPatch(bankB, 60, "B");
    performance->SelectBank(1);
    workBuffers.Connect(&host, nullptr, nullptr);
    performer.SetDevice(&frameDevice);
  }
  ~SetDisplayTest() override { performer.Stop(); }

  void AddPatch(lv::Bank* bank, int note, const char* name) {
    bank->slots[note].patch = std::make_unique<lvtest::TestPlug>(&journal, name);
  }
  // The start-up display, then the performance is handed over.
  void StartWindowed() {
    ASSERT_TRUE(display.SetDisplay(false));
    ASSERT_EQ(d3d.GetDriverInfo(), gfx::Result::Ok);
    performer.SetPerformance(performance);
    performer.SetChannelMask(performance->channelMask);
    journal.Clear();
  }
  int ChannelsWith(const lv::Bank* bank) {
    int count = 0;
    for (uint8_t c = 0; c < 16; ++c) count += performer.ChannelBank(c) == bank;
    return count;
  }

  Journal journal;
  lvtest::SystemScript script;
  lv::D3D d3d{[this] { return std::make_unique<lvtest::ScriptedGraphicsSystem>(&script); }};
  lv::Performer performer;
  lv::WorkBufferTable workBuffers;
  lv::DisplayHostState host;
  lvtest::RecordingDisplayEnvironment environment{&journal};
  lv::DisplayFrameDevice frameDevice{d3d, workBuffers, host};
  lv::DisplaySwitch display{d3d, performer, workBuffers, host, environment};
  lv::Performance* performance = new lv::Performance;  // the Performer deletes it
  lv::Bank* bankA = nullptr;
  lv::Bank* bankB = nullptr;
};

TEST_F(SetDisplayTest, StartWithoutAPerformanceMakesA640By480DeviceAndGivesNoBanks) {
  ASSERT_TRUE(display.SetDisplay(false));
  EXPECT_EQ(d3d.BackBufferDesc().width, 640u);
  EXPECT_EQ(d3d.BackBufferDesc().height, 480u);
  EXPECT_EQ(ChannelsWith(nullptr), 16);
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(host.Device(), d3d.Device());
  EXPECT_EQ(host.CurrentTarget(), d3d.BackBuffer());
  EXPECT_EQ(host.TargetDesc().width, 640u);
  EXPECT_TRUE(host.RoundToNearestPow2());
  delete performance;
}

TEST_F(SetDisplayTest, WindowedGivesEveryChannelTheBankAndFullScreenOnlyTheMasked) {
  StartWindowed();
  ASSERT_TRUE(display.SetDisplay(false));
  EXPECT_EQ(ChannelsWith(bankA), 16);
  EXPECT_EQ(d3d.BackBufferDesc().width, 1024u);  // the performance's size
  EXPECT_EQ(performer.State(), lv::Live);
  // The old device's objects went before the new device's were made.
  EXPECT_EQ(journal.Matching("release:A").size(), 1u);
  EXPECT_EQ(journal.Matching("create:A").size(), 1u);

  ASSERT_TRUE(display.SetDisplay(true));
  EXPECT_EQ(ChannelsWith(bankA), 2);
  EXPECT_EQ(performer.ChannelBank(0), bankA);
  EXPECT_EQ(performer.ChannelBank(2), bankA);
  EXPECT_EQ(performer.State(), lv::FullScreen);
  EXPECT_TRUE(display.IsFullScreen());
  EXPECT_FALSE(d3d.LastPresentParameters().windowed);
  const auto entries = journal.Entries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), "show fullscreen"), entries.end());
  EXPECT_NE(std::find(entries.begin(), entries.end(), "cursor off"), entries.end());
}

TEST_F(SetDisplayTest, ASizeTheScreenDoesNotListIsShownFullScreenAtThatSize) {
  StartWindowed();
  performance->width = 800;
  performance->height = 600;
  ASSERT_TRUE(display.SetDisplay(true));
  EXPECT_TRUE(journal.Matching("mode unavailable").empty());
  EXPECT_TRUE(display.IsFullScreen());
  EXPECT_EQ(performer.State(), lv::FullScreen);
  EXPECT_FALSE(d3d.LastPresentParameters().windowed);
  EXPECT_EQ(d3d.BackBufferDesc().width, 800u);
  EXPECT_EQ(d3d.BackBufferDesc().height, 600u);
  EXPECT_EQ(host.TargetDesc().width, 800u);
  EXPECT_EQ(ChannelsWith(bankA), 2);
}

TEST_F(SetDisplayTest, ARequestTheScreenCannotShowKeepsTheWindowedDisplay) {
  StartWindowed();
  ASSERT_TRUE(display.SetDisplay(false));
  gfx::Device* before = d3d.Device();
  journal.Clear();
  performance->bitsPerPixel = 24;  // no format of the screen has 24 bits

  EXPECT_TRUE(display.SetDisplay(true));
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"mode unavailable 1024x768"}));
  EXPECT_EQ(d3d.Device(), before);
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(ChannelsWith(bankA), 16);
}

TEST_F(SetDisplayTest, ARequestTheScreenCannotShowWhileInFullScreenGoesBackToWindowed) {
  StartWindowed();
  ASSERT_TRUE(display.SetDisplay(true));
  journal.Clear();
  performance->bitsPerPixel = 24;
  EXPECT_TRUE(display.SetDisplay(true));
  EXPECT_EQ(journal.Matching("mode unavailable").size(), 1u);
  EXPECT_FALSE(display.IsFullScreen());
  EXPECT_TRUE(d3d.LastPresentParameters().windowed);
  EXPECT_EQ(performer.State(), lv::Live);
}

TEST_F(SetDisplayTest, AnAdapterThatIsNotPresentMeansAdapterZero) {
  StartWindowed();
  performance->displayAdapter = 3;
  EXPECT_EQ(display.FullScreenRequest().adapter, 0u);
  ASSERT_TRUE(display.SetDisplay(true));
  EXPECT_EQ(performer.State(), lv::FullScreen);
}

TEST_F(SetDisplayTest, NoDeviceAtAllEndsTheProgramAfterItsMessage) {
  script.failHardware = script.failSoftware = true;
  EXPECT_FALSE(display.SetDisplay(false));
  EXPECT_EQ(journal.Matching("fatal"), (std::vector<std::string>{"fatal 3"}));
  EXPECT_EQ(d3d.Device(), nullptr);
  EXPECT_NE(std::string(lv::DisplayErrorText(3)).find("3D accelerated video card"), std::string::npos);
  delete performance;
}

TEST_F(SetDisplayTest, ASizeNoDeviceCanBeMadeForGoesBackToTheWorkingDisplay) {
  script.maxBackBufferSide = 4096;
  StartWindowed();
  ASSERT_TRUE(display.SetDisplay(false));
  journal.Clear();
  performance->width = 8192;
  EXPECT_TRUE(display.SetDisplay(false));
  EXPECT_EQ(journal.Matching("mode unavailable"), (std::vector<std::string>{"mode unavailable 8192x768"}));
  EXPECT_TRUE(journal.Matching("fatal").empty());
  ASSERT_NE(d3d.Device(), nullptr);
  EXPECT_EQ(d3d.BackBufferDesc().width, 1024u);
  EXPECT_EQ(host.Device(), d3d.Device());
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(ChannelsWith(bankA), 16);

  // Only when the way back fails too is there nothing left to show on.
  journal.Clear();
  script.failHardware = script.failSoftware = true;
  EXPECT_FALSE(display.SetDisplay(false));
  EXPECT_EQ(journal.Matching("fatal"), (std::vector<std::string>{"fatal 3"}));
}

TEST_F(SetDisplayTest, TextureRulesFollowTheCapsAndThePerformance) {
  struct Case {
    uint32_t caps;
    uint8_t npw2;
    bool nonPow2;
    bool round;
  } cases[] = {
      {gfx::texturecaps::Pow2, 1, false, true},
      {gfx::texturecaps::Pow2 | gfx::texturecaps::NonPow2Conditional, 2, true, false},
      {0, 0, true, false},
  };
  StartWindowed();
  for (const Case& c : cases) {
    script.textureCaps = c.caps;
    performance->npw2 = c.npw2;
    ASSERT_TRUE(display.SetDisplay(false));
    EXPECT_EQ(host.NonPow2Supported(), c.nonPow2) << c.caps;
    EXPECT_EQ(host.RoundToNearestPow2(), c.round) << int(c.npw2);
  }
}

TEST_F(SetDisplayTest, AProgramChangeDuringTheSwitchWaitsForTheNewDevice) {
  StartWindowed();
  ASSERT_TRUE(display.SetDisplay(false));
  journal.Clear();
  environment.duringSwitch = [this] {
    // MIDI arrives and the render thread runs while the old device goes.
    performer.PushMidi({0xC0 | 2u << 8, 0});
    performer.RunPass();
  };
  ASSERT_TRUE(display.SetDisplay(false));
  const auto entries = journal.Entries();
  const auto restored = std::find(entries.begin(), entries.end(), "restore capture");
  EXPECT_EQ(std::find(entries.begin(), restored, "create:B"), restored) << "bank B bound to the old device";
  EXPECT_EQ(performer.ChannelBank(0), bankA);

  performer.RunPass();
  EXPECT_EQ(performer.ChannelBank(0), bankB);
  EXPECT_EQ(journal.Matching("create:B").size(), 1u);
}

}  // namespace
