// The work buffers' own frame-buffer kinds, made by the table's kind maker.
#include <gtest/gtest.h>

#include <memory>

#include "display/display_host_state.h"
#include "source_device_fixture.h"
#include "sources/work_buffer_frame_kind.h"
#include "workbuffers/source_kind_list.h"
#include "workbuffers/work_buffer.h"

namespace lvtest {
namespace {

class RegistryKinds final : public lv::SourceKindList {
 public:
  explicit RegistryKinds(lv::PlugRegistry& registry) : registry_(registry) {}
  void RegisterSourceKind(lv::SourceDesc* kind) override { registry_.RegisterSourceKind(kind, nullptr); }
  void UnregisterSourceKind(lv::SourceDesc* kind) override { registry_.UnregisterSourceKind(kind); }

 private:
  lv::PlugRegistry& registry_;
};

class WorkBufferKindTest : public SourceDeviceTest {};

TEST_F(WorkBufferKindTest, EachBufferOpensAsASourceOfItsPictureUntilItGoes) {
  lv::DisplayHostState display;
  display.SetDevice(device_);
  display.SetCurrentTarget(backBuffer_);
  display.RefreshTargetDesc();
  RegistryKinds kinds(registry_);
  {
    lv::WorkBufferTable table;
    table.Connect(&display, &kinds, builtin::MakeWorkBufferFrameKind);
    table.SetCount(2);
    std::unique_ptr<lv::Source> source(host_.CreateSource("Work 2:", 0));
    ASSERT_NE(source, nullptr);
    lv::SourceInfo info{};
    ASSERT_TRUE(source->GetInfo(&info));
    EXPECT_EQ(info.width, kWidth);
    ASSERT_TRUE(source->Attach(1));
    device_->ColorFill(table.At(1)->surface, nullptr, 0xFF336699);
    device_->ColorFill(backBuffer_, nullptr, 0xFFFFFFFF);
    bool wrapped = false, newFrame = false;
    ASSERT_TRUE(source->Advance(16, &wrapped, &newFrame));
    for (uint32_t pixel : ReadTexture(source->GetTexture())) ASSERT_EQ(pixel, 0xFF336699u);

    table.SetCount(0);  // the buffers go while the source is open
    EXPECT_EQ(registry_.FindSourceKind("Work 2:"), nullptr);
    EXPECT_FALSE(source->Advance(16, &wrapped, &newFrame));
    source->Detach();
  }
}

}  // namespace
}  // namespace lvtest
