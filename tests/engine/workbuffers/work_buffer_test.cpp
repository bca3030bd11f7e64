// Work buffers on a real device: their source kinds, a fresh buffer's
// pixels, the count's bounds, and a buffer that could not be made.
#include "workbuffers/work_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/d3d.h"
#include "display/display_frame_device.h"
#include "display/display_host_state.h"
#include "display_readback.h"
#include "scripted_graphics_system.h"
#include "workbuffers/source_kind_list.h"
#include "workbuffers/work_buffer_kind.h"

namespace {

class RecordingKinds final : public lv::SourceKindList {
 public:
  void RegisterSourceKind(lv::SourceDesc* kind) override { kinds.push_back(kind); }
  void UnregisterSourceKind(lv::SourceDesc* kind) override { std::erase(kinds, kind); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (lv::SourceDesc* kind : kinds) names.push_back(kind->GetPrefix());
    return names;
  }
  std::vector<lv::SourceDesc*> kinds;
};

class WorkBufferTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
    host.SetDevice(d3d.Device());
    host.SetCurrentTarget(d3d.BackBuffer());
    host.RefreshTargetDesc();
    table.Connect(&host, &kinds, lv::MakeWorkBufferKind);
  }

  lvtest::SystemScript script;
  lv::D3D d3d{[this] { return std::make_unique<lvtest::ScriptedGraphicsSystem>(&script); }};
  lv::DisplayHostState host;
  RecordingKinds kinds;
  lv::WorkBufferTable table;
};

TEST_F(WorkBufferTest, EachBufferIsASourceKindNamedAfterIt) {
  table.SetCount(0);
  EXPECT_TRUE(kinds.Names().empty());

  table.SetCount(2);
  EXPECT_EQ(kinds.Names(), (std::vector<std::string>{"Work 1", "Work 2"}));
  EXPECT_STREQ(table.At(1)->Name(), "Work 2");
  EXPECT_EQ(table.At(2), nullptr);

  table.SetCount(0);  // a display switch takes them away and gives them back
  EXPECT_TRUE(kinds.Names().empty());
  table.SetCount(2);
  EXPECT_EQ(kinds.Names(), (std::vector<std::string>{"Work 1", "Work 2"}));
}

TEST_F(WorkBufferTest, AFreshBufferIsBlackAtTheTargetsSizeAndFormat) {
  d3d.Device()->ColorFill(d3d.BackBuffer(), nullptr, 0xFFFFFFFF);
  table.SetCount(1);
  lv::WorkBuffer* buffer = table.At(0);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->width, 640u);
  EXPECT_EQ(buffer->height, 480u);
  EXPECT_EQ(buffer->format, d3d.BackBufferDesc().format);
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), buffer->surface, 0, 0) & 0xFFFFFF, 0u);
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), buffer->surface, 639, 479) & 0xFFFFFF, 0u);
}

TEST_F(WorkBufferTest, TheCountStaysWithinTheTable) {
  const std::pair<int, int> cases[] = {{-3, 0}, {0, 0}, {4, 4}, {5, 4}, {1000, 4}};
  for (auto [asked, kept] : cases) {
    table.SetCount(asked);
    EXPECT_EQ(table.Count(), kept) << asked;
    EXPECT_EQ(static_cast<int>(kinds.kinds.size()), kept) << asked;
  }
}

TEST_F(WorkBufferTest, ABufferThatCannotBeMadeIsAbsentAndItsNotesDrawOnTheScreen) {
  lv::DisplayFrameDevice frameDevice{d3d, table, host};
  table.SetCount(1);
  ASSERT_NE(table.At(0), nullptr);
  ASSERT_EQ(table.CreateAt(0, 1u << 20, 1u << 20, "Work 1"), nullptr);  // beyond any texture size
  EXPECT_EQ(table.At(0), nullptr);
  EXPECT_TRUE(kinds.kinds.empty());

  frameDevice.SetRenderTarget(0);
  EXPECT_EQ(host.CurrentTarget(), d3d.BackBuffer());
  frameDevice.SetRenderTarget(3);  // past the count
  EXPECT_EQ(host.CurrentTarget(), d3d.BackBuffer());
}

TEST_F(WorkBufferTest, ANoteAimedAtABufferDrawsIntoIt) {
  lv::DisplayFrameDevice frameDevice{d3d, table, host};
  table.SetCount(2);
  frameDevice.SetRenderTarget(1);
  EXPECT_EQ(host.CurrentTarget(), table.At(1)->surface);
  d3d.Device()->Clear(0, nullptr, gfx::clear::Target, 0xFF3366CC, 1.0f, 0);
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), table.At(1)->surface, 3, 3) & 0xFFFFFF, 0x3366CCu);
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), table.At(0)->surface, 3, 3) & 0xFFFFFF, 0u);
  frameDevice.SetRenderTarget(lv::FrameDevice::kBackBuffer);
  EXPECT_EQ(host.CurrentTarget(), d3d.BackBuffer());
}

}  // namespace
