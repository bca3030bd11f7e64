// Display Source's pixels on a 16 x 12 target, against what the maths says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "display_source_fixture.h"
#include "sources/frame_buffer_source.h"

namespace lvtest {
namespace {

using builtin::DisplaySource;
using gfx::test::Channel;
using gfx::test::ColorNear;

constexpr uint32_t kBlue = 0xFF0000FF;  // the background; no texel is this

// 0xRRGGBB of texel (x, y) of the 4 x 4 test image: every texel differs.
uint32_t Texel(int x, int y) { return uint32_t(40 + x * 60) << 16 | uint32_t(30 + y * 60) << 8 | 0x40; }

class DisplaySourceRender : public DisplaySourceTest {
 protected:
  void SetUp() override {
    DisplaySourceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    std::vector<uint32_t> texels;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) texels.push_back(Texel(x, y));
    WriteBmp(image_, 4, 4, texels);
  }

  // An instance over the test image with its device objects and a note on.
  std::unique_ptr<DisplaySource> Showing(const std::string& source, uint32_t options) {
    auto plug = Make(source, options);
    EXPECT_TRUE(plug->CreateDeviceObjects()) << source;
    NoteOn(*plug, 100);
    return plug;
  }

  // Pixel (x, y) of the unscaled image in the target's centre (at 6..9, 4..7).
  static uint32_t Shown(int x, int y) { return 0xFF000000 | Texel(x - 6, y - 4); }

  const std::string image_ = TempPath("display-source-4x4.bmp");
};

TEST_F(DisplaySourceRender, AnUnscaledImageReproducesItsTexelsExactly) {
  auto plug = Showing(image_, 0x3C);
  const std::vector<uint32_t> pixels = Frame({plug.get()});
  for (int y = 0; y < int(kHeight); ++y) {
    for (int x = 0; x < int(kWidth); ++x) {
      const bool inside = x >= 6 && x < 10 && y >= 4 && y < 8;
      EXPECT_TRUE(ColorNear(At(pixels, x, y), inside ? Shown(x, y) : kBlue, 0)) << x << "," << y;
    }
  }
}

TEST_F(DisplaySourceRender, StretchedTheImageFillsTheTarget) {
  auto plug = Showing(image_, 0x3D);
  const std::vector<uint32_t> pixels = Frame({plug.get()});
  // Every texel has blue 0x40, so any blend of them has too; the background has 0xFF.
  for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(Channel(pixels[i], 0), 0x40) << "pixel " << i;
  EXPECT_TRUE(ColorNear(pixels.front(), 0xFF000000 | Texel(0, 0), 0));
  EXPECT_TRUE(ColorNear(pixels.back(), 0xFF000000 | Texel(3, 3), 0));
}

TEST_F(DisplaySourceRender, AKeyColouredTexelShowsWhatWasDrawnBefore) {
  std::vector<uint32_t> texels(16, 0x208040);
  texels[5] = 0x000000;  // texel (1, 1)
  const std::string keyed = TempPath("display-source-keyed.bmp");
  WriteBmp(keyed, 4, 4, texels);
  auto plug = Showing(keyed, 0x3E);  // key colour black, Key Dist 3
  const std::vector<uint32_t> pixels = Frame({plug.get()}, 0xFFFFFF00);
  EXPECT_TRUE(ColorNear(At(pixels, 7, 5), 0xFFFFFF00, 0));
  EXPECT_TRUE(ColorNear(At(pixels, 6, 5), 0xFF208040, 0));
  EXPECT_TRUE(ColorNear(At(pixels, 8, 5), 0xFF208040, 0));
  // Without the option the black texel is drawn.
  auto plain = Showing(keyed, 0x3C);
  EXPECT_TRUE(ColorNear(Frame({plain.get()}, 0xFFFFFF00)[5 * kWidth + 7], 0xFF000000, 0));
}

TEST_F(DisplaySourceRender, BlendModesAgainstTheTarget) {
  const std::string solid = TempPath("display-source-solid.bmp");
  WriteBmp(solid, 4, 4, std::vector<uint32_t>(16, 0x3CC832));  // (60, 200, 50)
  const int image[3] = {60, 200, 50}, target[3] = {100, 150, 200};
  const float alpha = 153.0f / 255.0f;
  auto blend = [&](int mode, int c) {
    const int s = image[c], d = target[c];
    switch (mode) {
      case 1: return std::min(255, s + d);
      case 2: return std::max(0, d - s);
      case 3: return std::max(0, s - d);
      case 4: return std::min(s, d);
      case 5: return std::max(s, d);
      default: return int(std::lround(float(s) * alpha + float(d) * (1 - alpha)));
    }
  };
  auto plug = Showing(solid, 0x3C);
  plug->SetParam(DisplaySource::kAlpha, 153);
  for (int mode : {0, 1, 2, 3, 4, 5, 9}) {
    plug->SetParam(DisplaySource::kBlend, mode);
    const uint32_t shown = At(Frame({plug.get()}, 0xFF6496C8), 7, 5);
    const uint32_t expected = 0xFF000000 | uint32_t(blend(mode, 0)) << 16 | uint32_t(blend(mode, 1)) << 8 |
                              uint32_t(blend(mode, 2));
    EXPECT_TRUE(ColorNear(shown | 0xFF000000, expected, 2)) << "blend " << mode;
    uint32_t op = 0;
    device_->GetRenderState(gfx::RenderState::BlendOp, &op);
    EXPECT_EQ(op, uint32_t(gfx::BlendOp::Add)) << "blend " << mode << " leaves its operation set";
  }
}

TEST_F(DisplaySourceRender, PositionSizeAndAngleMoveTheCornerTexel) {
  // Texel (0, 0) is sampled exactly at the first corner. Where the corner is
  // turned onto the far edge of the quad, that edge is half a pixel past the
  // last pixel drawn, so the pixel inside shows the texel next to it.
  const struct {
    int32_t xPos, yPos, width, height, angle;
    int x, y;          // the probed pixel
    int texX, texY;    // the texel it shows
  } cases[] = {
      {0, 0, 100, 100, 0, 6, 4, 0, 0},     // the natural size and place
      {50, 0, 100, 100, 0, 8, 4, 0, 0},    // half an extent (2 pixels) to the right
      {0, 50, 100, 100, 0, 6, 2, 0, 0},    // and up
      {0, 0, -100, 100, 0, 9, 4, 1, 0},    // mirrored: the corner at the right edge
      {0, 0, 100, -100, 0, 6, 7, 0, 1},    // flipped: at the bottom edge
      {0, 0, 100, 100, 360, 9, 7, 1, 1},   // half a turn: bottom right
      {0, 0, 100, 100, -180, 6, 7, 1, 0},  // a quarter turn anticlockwise: bottom left
      {0, 0, 100, 100, 180, 9, 4, 0, 1},   // and clockwise: top right
  };
  auto plug = Showing(image_, 0x13C);
  for (const auto& c : cases) {
    plug->SetParam(DisplaySource::kXPos, c.xPos);
    plug->SetParam(DisplaySource::kYPos, c.yPos);
    plug->SetParam(DisplaySource::kWidth, c.width);
    plug->SetParam(DisplaySource::kHeight, c.height);
    plug->SetParam(DisplaySource::kAngle, c.angle);
    const std::vector<uint32_t> pixels = Frame({plug.get()});
    EXPECT_TRUE(ColorNear(At(pixels, c.x, c.y), 0xFF000000 | Texel(c.texX, c.texY), 1))
        << "XPos " << c.xPos << " YPos " << c.yPos << " Width " << c.width << " Height " << c.height << " Angle "
        << c.angle;
  }
}

TEST_F(DisplaySourceRender, CycledChannelWritesStepOnePerFrame) {
  auto plug = Showing(image_, 0x23C);
  plug->SetParam(DisplaySource::kCycleRate, 1);
  const uint32_t texel = Shown(6, 4);
  const uint32_t onlyRed = 0xFF000000 | (texel & 0xFF0000) | 0x0000FF;
  const uint32_t onlyGreen = 0xFF000000 | (texel & 0x00FF00) | 0x0000FF;
  const uint32_t onlyBlue = 0xFF000000 | (texel & 0x0000FF);
  for (uint32_t expected : {onlyRed, onlyGreen, onlyBlue, onlyRed}) {
    EXPECT_TRUE(ColorNear(At(Frame({plug.get()}, 0xFF0000FF), 6, 4), expected, 0));
  }
  uint32_t mask = 0;
  device_->GetRenderState(gfx::RenderState::ColorWriteEnable, &mask);
  EXPECT_EQ(mask, 0xFu);
}

TEST_F(DisplaySourceRender, TheFrameBufferShowsWhatEarlierNotesDrewThisFrame) {
  auto first = Showing(image_, 0x3C);
  auto copy = Showing("FrameBuffer:", 0x13C);
  copy->SetParam(DisplaySource::kXPos, 50);  // the copy moved right by half the target
  const std::vector<uint32_t> pixels = Frame({first.get(), copy.get()});
  EXPECT_TRUE(ColorNear(At(pixels, 6, 4), Shown(6, 4), 0)) << "the first note's own picture, left of the copy";
  EXPECT_TRUE(ColorNear(At(pixels, 14, 4), Shown(6, 4), 0)) << "its copy, eight pixels on";
  EXPECT_TRUE(ColorNear(At(pixels, 15, 5), Shown(7, 5), 0));
  EXPECT_TRUE(ColorNear(At(pixels, 8, 4), kBlue, 0));
}

TEST_F(DisplaySourceRender, AWorkBufferSourceShowsWhatAWorkBufferNoteDrew) {
  class WorkBuffer final : public builtin::CopiedBuffer {
   public:
    uint32_t Width() override { return kWidth; }
    uint32_t Height() override { return kHeight; }
    gfx::Format Format() override { return gfx::Format::A8R8G8B8; }
    gfx::Surface* Surface() override { return surface.get(); }
    gfx::Ref<gfx::Texture> texture;
    gfx::Ref<gfx::Surface> surface;
  } buffer;
  ASSERT_EQ(gfx::Result::Ok, device_->CreateTexture(kWidth, kHeight, 1, gfx::usage::RenderTarget,
                                                    gfx::Format::A8R8G8B8, gfx::Pool::Default, buffer.texture.put()));
  buffer.texture->GetSurfaceLevel(0, buffer.surface.put());
  builtin::FrameBufferDesc work1("Work 1", &buffer);
  registry_.RegisterSourceKind(&work1, nullptr);

  auto drawn = Showing(image_, 0x3C);
  auto shown = Showing("Work 1:", 0x3C);
  ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
  device_->SetRenderTarget(0, buffer.surface.get());
  host_.targetSurface = buffer.surface.get();
  device_->Clear(0, nullptr, gfx::clear::Target, 0xFF00FF00, 1.0f, 0);
  drawn->Render(16);
  device_->SetRenderTarget(0, backBuffer_);
  host_.targetSurface = backBuffer_;
  device_->Clear(0, nullptr, gfx::clear::Target, kBlue, 1.0f, 0);
  shown->Render(16);
  ASSERT_EQ(gfx::Result::Ok, device_->EndScene());
  const std::vector<uint32_t> pixels = ReadBackBuffer();
  EXPECT_TRUE(ColorNear(At(pixels, 0, 0), 0xFF00FF00, 0)) << "the work buffer's own background";
  for (int y = 4; y < 8; ++y)
    for (int x = 6; x < 10; ++x) EXPECT_TRUE(ColorNear(At(pixels, x, y), Shown(x, y), 0)) << x << "," << y;
  shown.reset();
  drawn.reset();
  registry_.UnregisterSourceKind(&work1);
}

}  // namespace
}  // namespace lvtest
