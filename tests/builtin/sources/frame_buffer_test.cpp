// Frame-buffer sources: texture sizes, the shared copy textures and the copy.
#include <gtest/gtest.h>

#include <memory>

#include "lv/source.h"
#include "source_device_fixture.h"
#include "sources/frame_buffer_source.h"

namespace lvtest {
namespace {

using SourcePtr = std::unique_ptr<lv::Source>;

TEST(FrameBufferSize, FollowsPowerOfTwoSupportTheRoundingAndTheOption) {
  const struct {
    uint32_t width, height;
    bool nonPow2, nearest;
    uint8_t option;
    uint32_t textureWidth, textureHeight;
  } cases[] = {
      {800, 600, false, true, 0, 1024, 512},  {800, 600, false, false, 0, 1024, 1024},
      {800, 600, true, true, 0, 800, 600},    {800, 600, true, true, 1, 1024, 512},
      {512, 256, false, false, 1, 512, 256},
  };
  for (const auto& c : cases) {
    lv::LorvaneHost host(nullptr);
    host.targetDesc.width = c.width;
    host.targetDesc.height = c.height;
    host.nonPow2Supported = c.nonPow2;
    host.roundToNearestPow2 = c.nearest;
    std::unique_ptr<lv::Source> made(builtin::FrameBufferSourceDescriptor()->Create());
    auto& source = static_cast<builtin::FrameBufferSource&>(*made);
    source.host = &host;
    source.SetOption2(c.option);
    ASSERT_TRUE(source.Open("FrameBuffer:"));
    EXPECT_EQ(source.TextureWidth(), c.textureWidth) << c.width << " option " << int(c.option);
    EXPECT_EQ(source.TextureHeight(), c.textureHeight) << c.height << " option " << int(c.option);
    const float* rect = source.GetTexelOffset();
    EXPECT_FLOAT_EQ(rect[0], 0.5f / float(c.textureWidth));
    EXPECT_FLOAT_EQ(rect[3], 1.0f + 0.5f / float(c.textureHeight));
    lv::SourceInfo info{};
    ASSERT_TRUE(source.GetInfo(&info));
    EXPECT_EQ(info.width, c.width);  // the picture's size, not the texture's
  }
}

// A work buffer: a render target of its own.
class TestWorkBuffer final : public builtin::CopiedBuffer {
 public:
  explicit TestWorkBuffer(gfx::Device* device) {
    device->CreateTexture(kW, kH, 1, gfx::usage::RenderTarget, gfx::Format::A8R8G8B8, gfx::Pool::Default,
                          texture.put());
    texture->GetSurfaceLevel(0, surface.put());
  }
  uint32_t Width() override { return kW; }
  uint32_t Height() override { return kH; }
  gfx::Format Format() override { return gfx::Format::A8R8G8B8; }
  gfx::Surface* Surface() override { return surface.get(); }

  static constexpr uint32_t kW = 16, kH = 12;
  gfx::Ref<gfx::Texture> texture;
  gfx::Ref<gfx::Surface> surface;
};

class FrameBufferTest : public SourceDeviceTest {
 protected:
  SourcePtr Open(const char* name, uint8_t option = 0) { return SourcePtr(host_.CreateSource(name, option)); }

  static bool Advance(lv::Source& source) {
    bool wrapped = true, newFrame = false;
    const bool ok = source.Advance(16, &wrapped, &newFrame);
    EXPECT_FALSE(wrapped);
    EXPECT_TRUE(newFrame);
    return ok;
  }
};

TEST_F(FrameBufferTest, TheOptionPicksOneOfTwoSharedTexturesThatLiveWhileAttached) {
  SourcePtr exact = Open("FrameBuffer:");
  SourcePtr exact2 = Open("framebuffer:");
  SourcePtr pow2 = Open("FrameBuffer:", 1);
  ASSERT_TRUE(exact && exact2 && pow2);
  EXPECT_TRUE(exact->CanHoldNote());
  EXPECT_EQ(exact->GetTexture(), nullptr);
  EXPECT_FALSE(Advance(*exact)) << "nothing to copy into before Attach";

  ASSERT_TRUE(exact->Attach(100));
  ASSERT_TRUE(exact2->Attach(100));
  ASSERT_TRUE(pow2->Attach(100));
  EXPECT_EQ(exact->GetTexture(), exact2->GetTexture());
  EXPECT_NE(exact->GetTexture(), pow2->GetTexture());
  gfx::SurfaceDesc level;
  pow2->GetTexture()->GetLevelDesc(0, &level);
  EXPECT_EQ(level.height, host_.TextureSize(12));  // a power of two

  pow2->Detach();
  EXPECT_EQ(pow2->GetTexture(), nullptr);
  EXPECT_NE(exact->GetTexture(), nullptr) << "the other option's texture stays";
  exact->Detach();
  exact->Detach();  // a second detach must not take exact2's use
  EXPECT_NE(exact2->GetTexture(), nullptr);
  // An instance that goes while attached gives its use back.
  exact2.reset();
  SourcePtr later = Open("FrameBuffer:");
  EXPECT_EQ(later->GetTexture(), nullptr);
}

TEST_F(FrameBufferTest, TheBackBufferAndAWorkBufferAreCopiedIntoTwoTextures) {
  TestWorkBuffer buffer(device_);
  builtin::FrameBufferDesc work1("Work 1", &buffer);
  registry_.RegisterSourceKind(&work1, nullptr);
  SourcePtr screen = Open("FrameBuffer:");
  SourcePtr work = Open("Work 1:");
  ASSERT_TRUE(screen && work);
  ASSERT_TRUE(screen->Attach(1));
  ASSERT_TRUE(work->Attach(1));

  device_->ColorFill(backBuffer_, nullptr, 0xFFFF0000);
  device_->ColorFill(buffer.Surface(), nullptr, 0xFF00FF00);
  ASSERT_TRUE(Advance(*screen));
  ASSERT_TRUE(Advance(*work));
  // Both advanced before either is drawn, as a two-input effect does.
  for (uint32_t pixel : ReadTexture(screen->GetTexture())) ASSERT_EQ(pixel, 0xFFFF0000u);
  for (uint32_t pixel : ReadTexture(work->GetTexture())) ASSERT_EQ(pixel, 0xFF00FF00u);
  screen->Detach();
  work->Detach();
  registry_.UnregisterSourceKind(&work1);
}

TEST_F(FrameBufferTest, ASourceOfADestroyedWorkBufferShowsNothing) {
  TestWorkBuffer buffer(device_);
  auto work1 = std::make_unique<builtin::FrameBufferDesc>("Work 1", &buffer);
  SourcePtr work(work1->Create());
  work->host = &host_;
  ASSERT_TRUE(work->Open(nullptr));
  ASSERT_TRUE(work->Attach(1));
  work1.reset();
  bool wrapped = false, newFrame = false;
  EXPECT_FALSE(work->Advance(16, &wrapped, &newFrame));
  lv::SourceInfo info{};
  EXPECT_FALSE(work->GetInfo(&info));
  work->Detach();
}

}  // namespace
}  // namespace lvtest
