// Display Source's parameters, options and its calls to the source.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display_source_fixture.h"

namespace lvtest {
namespace {

using builtin::DisplaySource;

TEST(DisplaySourceParams, ANewInstanceHoldsTheRowDefaultsButAllChannels) {
  DisplaySource plug;
  ASSERT_EQ(plug.GetNumParams(), 13);
  const int32_t expected[13] = {0, 0, 0, 3, 255, 0, 0, 100, 100, 0, 7, 2, 0};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(plug.GetParam(i), expected[i]) << plug.GetParamInfo(i)->name;
  EXPECT_EQ(plug.GetParamInfo(10)->defaultValue, 1);
  EXPECT_EQ(plug.Options(), 0x3Cu);
  EXPECT_EQ(plug.Volume(), 127);
  EXPECT_EQ(plug.Pan(), 64);
  plug.SetParam(11, 0);  // stored as it is
  EXPECT_EQ(plug.GetParam(11), 0);
}

TEST(DisplaySourceParams, EnabledRowsFollowTheOptions) {
  const struct {
    uint32_t options;
    uint32_t enabled;  // bit i: parameter i enabled
  } cases[] = {
      {0x000, 1u << 4 | 1u << 10 | 1u << 12},
      {0x002, 0xFu | 1u << 4 | 1u << 10 | 1u << 12},
      {0x100, 0x3F0u | 1u << 10 | 1u << 12},
      {0x200, 1u << 4 | 1u << 11 | 1u << 12},
  };
  for (const auto& c : cases) {
    DisplaySource plug;
    plug.SetOptions(c.options);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(plug.IsParamEnabled(i), (c.enabled >> i & 1) != 0) << c.options << " " << i;
    EXPECT_EQ(plug.IsParamEnabled(-1), (c.options & 0x2) != 0);
    EXPECT_TRUE(plug.IsParamEnabled(13));
  }
}

TEST(DisplaySourceParams, FormattersNameChannelsAndBlends) {
  DisplaySource plug;
  const struct {
    int32_t param, value;
    const char* text;
  } cases[] = {{10, 3, "R+G"}, {10, 7, "R+G+B"}, {10, 0, ""}, {10, 8, ""}, {12, 2, "Sub"},
               {12, 3, "RevSub"}, {12, 0, "Alpha"}, {12, 9, "Alpha"}};
  for (const auto& c : cases) {
    char text[32] = "unchanged";
    plug.GetParamInfo(c.param)->format(c.value, text, &plug, c.param);
    EXPECT_STREQ(text, c.text) << c.param << " = " << c.value;
  }
}

TEST(DisplaySourceWriteMask, ChannelsOrOneCycledChannelAndAlwaysAlpha) {
  EXPECT_EQ(builtin::DisplaySourceWriteMask(false, 5, 0, 2), 0xDu);
  EXPECT_EQ(builtin::DisplaySourceWriteMask(false, 0, 0, 2), 0x8u);
  const uint32_t rate2[] = {9, 9, 10, 10, 12, 12, 9};
  for (uint32_t frame = 0; frame < 7; ++frame) {
    EXPECT_EQ(builtin::DisplaySourceWriteMask(true, 7, frame, 2), rate2[frame]) << "frame " << frame;
  }
  // A rate of 0 (a saved value or a binding) steps every frame, never divides by 0.
  const uint32_t rate0[] = {9, 10, 12, 9};
  for (uint32_t frame = 0; frame < 4; ++frame) {
    EXPECT_EQ(builtin::DisplaySourceWriteMask(true, 7, frame, 0), rate0[frame]) << "frame " << frame;
  }
}

class DisplaySourceCalls : public DisplaySourceTest {};

TEST_F(DisplaySourceCalls, NoteOnRestartsAndSendsTheVelocityAsVolumeOrTheBytes) {
  const struct {
    uint32_t options;
    std::vector<std::string> calls;
  } cases[] = {
      {0x08 | 0x20, {"restart", "volume 100", "pan 40", "attach 100", "advance 0"}},
      {0x40 | 0x10, {"volume 30", "pan 100", "attach 100", "advance 0"}},
  };
  for (const auto& c : cases) {
    auto plug = Make("Rec:", c.options, 30, 40);
    ASSERT_TRUE(plug->CreateDeviceObjects());
    recorded_.calls.clear();
    NoteOn(*plug, 100);
    EXPECT_EQ(recorded_.calls, c.calls) << "options " << c.options;
  }
}

TEST_F(DisplaySourceCalls, TheLoopedOptionReachesTheSourceWhenOpened) {
  for (uint32_t options : {0x10u, 0u}) {
    recorded_.calls.clear();
    auto plug = Make("Rec:", options);
    ASSERT_TRUE(plug->CreateDeviceObjects());
    ASSERT_FALSE(recorded_.calls.empty());
    EXPECT_EQ(recorded_.calls.front(), options != 0 ? "option0 1" : "option0 0");
  }
}

TEST_F(DisplaySourceCalls, SustainHoldsUntilTheSourceEndsWrapsOrCannotHold) {
  const struct {
    bool advances, wraps, holds, kept;
  } cases[] = {{true, false, true, true}, {false, false, true, false}, {true, true, true, false},
               {true, false, false, false}};
  for (const auto& c : cases) {
    auto plug = Make("Rec:", 0x80);
    ASSERT_TRUE(plug->CreateDeviceObjects());
    recorded_.advances = recorded_.wraps = recorded_.holds = true;
    recorded_.wraps = false;
    NoteOn(*plug, 64);
    EXPECT_TRUE(plug->KeepAfterNoteOff());
    recorded_.advances = c.advances;
    recorded_.wraps = c.wraps;
    recorded_.holds = c.holds;
    Frame({plug.get()});
    EXPECT_EQ(plug->KeepAfterNoteOff(), c.kept) << c.advances << c.wraps << c.holds;
  }
  auto unsustained = Make("Rec:", 0);
  ASSERT_TRUE(unsustained->CreateDeviceObjects());
  NoteOn(*unsustained, 64);
  EXPECT_FALSE(unsustained->KeepAfterNoteOff());
}

TEST_F(DisplaySourceCalls, FailedOrRepeatedCreationLeavesNoSourceBehind) {
  auto missing = Make("Nothing:", 0);
  EXPECT_FALSE(missing->CreateDeviceObjects());
  EXPECT_EQ(missing->OpenSource(), nullptr);

  recorded_.tellsInfo = false;  // fails after the source was opened
  auto plug = Make("Rec:", 0);
  EXPECT_FALSE(plug->CreateDeviceObjects());
  EXPECT_EQ(plug->OpenSource(), nullptr);
  EXPECT_EQ(recorded_.destroyed, 1);

  recorded_.tellsInfo = true;
  ASSERT_TRUE(plug->CreateDeviceObjects());
  ASSERT_TRUE(plug->CreateDeviceObjects());  // a retry first closes the earlier source
  EXPECT_EQ(recorded_.destroyed, 2);
  plug.reset();  // and the instance closes what is still open
  EXPECT_EQ(recorded_.destroyed, 3);
}

TEST_F(DisplaySourceCalls, SavedChunksLoadBack) {
  auto plug = Make("Rec:", 0x1FF, 90, 20);
  lv::MemoryChunkStream out;
  ASSERT_TRUE(plug->Save(&out));
  const auto chunks = ReadChunkList(WrittenBytes(out));
  ASSERT_EQ(chunks.size(), 4u);
  EXPECT_EQ(chunks[0], (std::pair<std::string, std::string>{"FLAG", U32(0x1FF)}));
  EXPECT_EQ(chunks[1], (std::pair<std::string, std::string>{"VOL ", std::string(1, char(90))}));
  EXPECT_EQ(chunks[2], (std::pair<std::string, std::string>{"PAN ", std::string(1, char(20))}));
  EXPECT_EQ(chunks[3], (std::pair<std::string, std::string>{"NAME", std::string("Rec:", 5)}));
}

}  // namespace
}  // namespace lvtest

namespace lvtest {
namespace {

TEST(DisplaySourceDialog, TheLayoutHoldsEveryOptionBoxAndTheAudioControls) {
  const window::DialogTemplate* dialog = builtin::PlugDialogs().Find(173);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->caption, "Edit 'Display Source' Parameters");
  for (int id : {1015, 1016, 1018, 1023, 1020, 1092, 1094, 1021, 1132, 1133, 1089, 1090, 1091, 1093, 1012, 1014, 1, 2}) {
    const bool found = std::any_of(dialog->controls.begin(), dialog->controls.end(),
                                   [id](const window::ControlTemplate& control) { return control.id == id; });
    EXPECT_TRUE(found) << "control " << id;
  }
}

}  // namespace
}  // namespace lvtest
