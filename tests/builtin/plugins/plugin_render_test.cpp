// Color Fill, ShowBMP and Warp Source drawn on a real device through the
// program's host object; each pixel is compared with the plug-in's formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "picture_source.h"
#include "plugins/color_fill.h"
#include "plugins/show_bmp.h"
#include "plugins/warp_source.h"
#include "registry/plug_registry.h"

namespace {

using gfx::test::Channel;
using gfx::test::ColorNear;

// Every comparison allows this much per 8-bit channel.
constexpr int kTolerance = 3;

uint32_t Argb(int a, int r, int g, int b) { return uint32_t(a) << 24 | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b); }

// A source kind whose frames are a picture the test sets: "Picture:" opens it.
namespace picture {

inline constexpr lv::ClassId kId{0x7E57AB1E, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
inline gfx::test::Picture frame{12, 12, {}};

gfx::test::Picture Frame() { return frame; }

}  // namespace picture

// The texel of an image at (x, y), or `border` outside it.
uint32_t TexelAt(const std::vector<uint32_t>& image, int w, int h, int x, int y, bool clamp, uint32_t border) {
  if (clamp) {
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
  } else if (x < 0 || y < 0 || x >= w || y >= h) {
    return border;
  }
  return image[size_t(y) * w + x];
}

// Bilinear sampling at texture coordinate (u, v), texel centres at (i + 0.5) / w.
uint32_t Sample(const std::vector<uint32_t>& image, int w, int h, double u, double v, bool clamp) {
  const double su = u * w - 0.5, sv = v * h - 0.5;
  const int x0 = int(std::floor(su)), y0 = int(std::floor(sv));
  const double fx = su - x0, fy = sv - y0;
  uint32_t out = 0;
  for (int c = 0; c < 4; ++c) {
    auto at = [&](int x, int y) { return double(Channel(TexelAt(image, w, h, x, y, clamp, 0), c)); };
    const double top = at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx;
    const double bottom = at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx;
    out |= uint32_t(std::lround(top * (1 - fy) + bottom * fy)) << (8 * c);
  }
  return out;
}

class PluginRender : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.mainWindow = &mainWindow_;
    host_.GetTargetDesc(nullptr, true);
    registry_.RegisterSourceKind(&pictureKind_, nullptr);
    host_.registry = &registry_;
  }

  void TearDown() override {
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // `plug` on this host, its device objects made.
  void Make(lv::Plug& plug) {
    plug.host = &host_;
    plug_ = &plug;
    ASSERT_TRUE(plug.CreateDeviceObjects());
  }

  std::vector<uint32_t> NoteFrame(uint8_t velocity, uint32_t background) {
    plug_->velocity = velocity;
    plug_->NoteOn();
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target, background, 1.0f, 0);
    plug_->Render(16);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  FakePrompts prompts_;  // a shader error box, should one come, stays here
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  lv::PlugRegistry registry_;
  gfx::test::PictureKind pictureKind_{picture::kId, "Picture", "A picture the test sets", &picture::Frame};
  lv::Plug* plug_ = nullptr;  // releases its device objects before TearDown
};

// Source over destination with SRCALPHA / INVSRCALPHA on all four channels.
uint32_t Blended(const uint32_t (&rgba)[4], uint32_t destination) {
  const double a = rgba[3] / 255.0;
  const int dst[4] = {Channel(destination, 2), Channel(destination, 1), Channel(destination, 0),
                      Channel(destination, 3)};
  int out[4];
  for (int c = 0; c < 4; ++c) out[c] = int(std::lround(rgba[c] * a + dst[c] * (1 - a)));
  return Argb(out[3], out[0], out[1], out[2]);
}

TEST_F(PluginRender, ColorFillCoversTheTargetWithTheNotesColour) {
  constexpr uint32_t kVelocity = builtin::ColorFill::kVelocityActive;
  constexpr uint32_t kHue = kVelocity | builtin::ColorFill::kVelocityHue;
  constexpr uint32_t kBrightness = kVelocity | builtin::ColorFill::kVelocityBrightness;
  constexpr uint32_t kBackground = 0xFF00FF00;
  const struct {
    uint32_t colorWord;  // byte 0 red .. byte 3 alpha
    uint32_t options;
    uint8_t velocity;
    uint32_t rgba[4];  // what the note shows before blending
  } cases[] = {
      {0xFF2864C8, 0, 10, {200, 100, 40, 255}},                    // no velocity options: the colour as set
      {0xFF2864C8, kBrightness & ~kVelocity, 10, {200, 100, 40, 255}},  // options without Velocity Active
      {0xFF2864C8, kBrightness, 32, {100, 50, 20, 255}},           // darker: c x v / 64
      {0xFF2864C8, kBrightness, 64, {200, 100, 40, 255}},
      {0xFF00FFC8, kBrightness, 96, {227, 255, 127, 255}},         // brighter: c + (255 - c)(v - 64) / 64
      {0xFF000000, kHue, 1, {255, 0, 255, 255}},
      {0xFF000000, kHue, 64, {255, 255, 248, 255}},
      {0xFF000000, kHue, 127, {255, 255, 12, 255}},
      {0xFF2864C8, kHue | kBrightness, 32, {100, 50, 20, 255}},    // brightness wins
      {0x802864C8, 0, 10, {200, 100, 40, 128}},                    // translucent: blended over the target
      {0xFE2864C8, kHue, 127, {255, 255, 12, 254}},                // the velocity never changes alpha
  };
  builtin::ColorFill fill;
  Make(fill);
  for (const auto& c : cases) {
    fill.SetColorWord(c.colorWord);
    fill.SetOptions(c.options);
    const std::vector<uint32_t> pixels = NoteFrame(c.velocity, kBackground);
    const uint32_t expected = Blended(c.rgba, kBackground);
    for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {7, 6}, {0, 11}, {15, 11}}) {
      EXPECT_TRUE(ColorNear(pixels[size_t(y) * kWidth + x], expected, kTolerance))
          << "colour 0x" << std::hex << c.colorWord << " options 0x" << c.options << std::dec << " velocity "
          << int(c.velocity) << " at " << x << "," << y;
    }
  }
  uint32_t blending = 1, depthWrites = 0;
  device_->GetRenderState(gfx::RenderState::AlphaBlendEnable, &blending);
  device_->GetRenderState(gfx::RenderState::ZWriteEnable, &depthWrites);
  EXPECT_EQ(blending, 0u);
  EXPECT_EQ(depthWrites, 1u);
}

// A 24-bit bottom-up BMP of `argb` (alpha dropped), rows top first.
void WriteBmp(const std::filesystem::path& path, int w, int h, const std::vector<uint32_t>& argb) {
  const int rowBytes = (w * 3 + 3) & ~3;
  const uint32_t imageBytes = uint32_t(rowBytes * h);
  std::vector<uint8_t> file(54 + imageBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B', file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(w));
  put32(22, uint32_t(h));
  file[26] = 1;
  file[28] = 24;
  put32(34, imageBytes);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = file.data() + 54 + size_t(h - 1 - y) * rowBytes;
    for (int x = 0; x < w; ++x) {
      const uint32_t p = argb[size_t(y) * w + x];
      row[3 * x] = uint8_t(p), row[3 * x + 1] = uint8_t(p >> 8), row[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

class ShowBmpRender : public PluginRender {
 protected:
  static constexpr int kImageWidth = 5, kImageHeight = 3;

  void SetUp() override {
    PluginRender::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    for (int y = 0; y < kImageHeight; ++y) {
      for (int x = 0; x < kImageWidth; ++x) image_.push_back(Argb(255, 40 + 50 * x, 30 + 90 * y, 200 - 40 * x));
    }
    path_ = std::filesystem::temp_directory_path() / ("show_bmp_" + std::to_string(::getpid()) + ".bmp");
    WriteBmp(path_, kImageWidth, kImageHeight, image_);
    bmp_.FileName().Set(path_.c_str());
  }
  void TearDown() override {
    bmp_.ReleaseDeviceObjects();
    PluginRender::TearDown();
    std::filesystem::remove(path_);
  }

  // Every pixel: the image sampled over the quad [left, left + w) x
  // [top, top + h), the background elsewhere. Pixel centres lie on integer
  // coordinates, as the plug-ins' quads assume: a stretched quad starts at
  // pixel 0's centre, a 1:1 quad of odd size on pixel edges.
  void ExpectImageIn(const std::vector<uint32_t>& pixels, double left, double top, double w, double h,
                     uint32_t background, const char* what) {
    for (int y = 0; y < int(kHeight); ++y) {
      for (int x = 0; x < int(kWidth); ++x) {
        const double u = (x - left) / w, v = (y - top) / h;
        const bool inside = u >= 0 && u < 1 && v >= 0 && v < 1;
        const uint32_t expected = inside ? Sample(image_, kImageWidth, kImageHeight, u, v, true) : background;
        EXPECT_TRUE(ColorNear(pixels[size_t(y) * kWidth + x], expected, kTolerance)) << what << " at " << x << "," << y;
      }
    }
  }

  std::vector<uint32_t> image_;
  std::filesystem::path path_;
  builtin::ShowBmp bmp_;
};

TEST_F(ShowBmpRender, UnstretchedTheImageIsCopiedTexelForTexelInTheCentre) {
  bmp_.SetOptions(builtin::ShowBmp::kEraseOnNoteOff);
  Make(bmp_);
  const std::vector<uint32_t> pixels = NoteFrame(100, 0xFF0000FF);
  // 5 x 3 in 16 x 12: columns 6..10, rows 5..7, each pixel one texel.
  for (int y = 0; y < kImageHeight; ++y) {
    for (int x = 0; x < kImageWidth; ++x) {
      EXPECT_TRUE(ColorNear(pixels[size_t(y + 5) * kWidth + x + 6], image_[size_t(y) * kImageWidth + x], kTolerance))
          << "texel " << x << "," << y;
    }
  }
  ExpectImageIn(pixels, 5.5, 4.5, kImageWidth, kImageHeight, 0xFF0000FF, "1:1");
}

TEST_F(ShowBmpRender, StretchedOrPlacedInAGridCellByTheVelocity) {
  using builtin::ShowBmp;
  bmp_.SetOptions(ShowBmp::kStretch);
  Make(bmp_);
  ExpectImageIn(NoteFrame(100, 0xFF0000FF), 0, 0, kWidth, kHeight, 0xFF0000FF, "stretched");

  // 1/4 Pos: velocity 100 is column 1, row 1 (rows count from the bottom): the top right quarter.
  bmp_.SetOptions(ShowBmp::kStretch | ShowBmp::kVelocityActive | ShowBmp::kVelocityQuarter);
  ExpectImageIn(NoteFrame(100, 0xFF0000FF), 8, 0, kWidth / 2, kHeight / 2, 0xFF0000FF, "top right quarter");
  ExpectImageIn(NoteFrame(10, 0xFF0000FF), 0, 6, kWidth / 2, kHeight / 2, 0xFF0000FF, "bottom left quarter");
}

TEST_F(ShowBmpRender, BrightnessFromTheVelocityMultipliesTheImage) {
  using builtin::ShowBmp;
  bmp_.SetOptions(ShowBmp::kVelocityActive | ShowBmp::kVelocityBrightness);
  Make(bmp_);
  const struct {
    uint8_t velocity;
    double factor;  // 4 x b
  } cases[] = {{32, 1.0}, {16, 0.5}, {127, 4.0}};
  for (const auto& c : cases) {
    const std::vector<uint32_t> pixels = NoteFrame(c.velocity, 0xFF000000);
    for (int x = 0; x < kImageWidth; ++x) {
      const uint32_t texel = image_[size_t(kImageWidth) + x];
      auto scaled = [&](int channel) { return int(std::min(255.0, std::round(Channel(texel, channel) * c.factor))); };
      EXPECT_TRUE(ColorNear(pixels[6 * kWidth + 6 + x], Argb(255, scaled(2), scaled(1), scaled(0)), kTolerance))
          << "velocity " << int(c.velocity) << " texel " << x;
    }
  }
}

// Warp Source over a 12 x 12 picture drawn at its own size (columns 2..13).
class WarpRender : public PluginRender {
 protected:
  static constexpr int kSide = 12, kLeft = 2;
  static constexpr uint32_t kGround = 0xFF302010, kMarker = 0xFFFFE040;
  static constexpr int kMarkerX = 8, kMarkerY = 2;

  void SetUp() override {
    PluginRender::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    picture::frame.width = picture::frame.height = kSide;
    picture::frame.pixels.assign(kSide * kSide, kGround);
    picture::frame.pixels[kMarkerY * kSide + kMarkerX] = kMarker;
    warp_.SourceName().Set("Picture:");
    warp_.SetOptions(0);
    warp_.SetStyle(5);  // Freeform: the knobs as they stand
  }
  void TearDown() override {
    warp_.ReleaseDeviceObjects();
    PluginRender::TearDown();
  }

  // What the vertex shader's formula samples at the centre of pixel (x, y).
  uint32_t Expected(int x, int y, const builtin::WarpConstants& k) const {
    const double tx = double(x - kLeft) / kSide, ty = 1.0 - double(y) / kSide;
    const double a = tx - 0.5, b = ty - 0.5;
    const double polarAngle = std::atan2(a, b), polarDist = std::sqrt(a * a + b * b);
    const double angle = polarAngle + k.rot + polarDist * k.twist;
    const double dist = polarDist + k.pinch + std::sin(angle * k.petals + k.petalOffset) * k.petalStrength;
    const double half = 0.5 / kSide;
    return Sample(picture::frame.pixels, kSide, kSide, std::sin(angle) * dist + 0.5 + half,
                  -std::cos(angle) * dist + 0.5 + half, false);
  }

  builtin::WarpSource warp_;
};

TEST_F(WarpRender, TheMarkerMovesWhereTheWarpFormulaPutsIt) {
  constexpr float kPi = std::numbers::pi_v<float>;
  const struct {
    const char* name;
    int32_t twist, pinch, rotate, strength;
    int markerX, markerY;  // where the marker texel lands; -1: not on one pixel
  } cases[] = {
      {"unwarped", 0, 0, 0, 0, kLeft + kMarkerX, kMarkerY},
      // Rot -pi/2: pixel (x, y) shows texel (y, 12 - (x - 2)), a quarter turn
      // clockwise about the texture's centre (half a texel off the pixels').
      {"quarter turn", 0, 0, 180, 0, kLeft + 12 - kMarkerY, kMarkerX},
      {"half turn", 0, 0, 360, 0, kLeft + 12 - kMarkerX, 12 - kMarkerY},
      {"twist and pinch", 300, -40, 0, 0, -1, -1},
      {"petals", 0, 0, 0, 60, -1, -1},
  };
  const uint32_t kBackground = 0xFF0000FF;
  Make(warp_);
  for (const auto& c : cases) {
    warp_.SetParam(builtin::kTwist, c.twist);
    warp_.SetParam(builtin::kPinch, c.pinch);
    warp_.SetParam(builtin::kRotate, c.rotate);
    warp_.SetParam(builtin::kStrength, c.strength);
    const std::vector<uint32_t> pixels = NoteFrame(100, kBackground);
    const builtin::WarpConstants& k = warp_.LastConstants();
    EXPECT_FLOAT_EQ(k.rot, float(c.rotate) * -kPi / 360);
    for (int y = 0; y < int(kHeight); ++y) {
      for (int x = 0; x < int(kWidth); ++x) {
        const bool onQuad = x >= kLeft && x < kLeft + kSide;
        const uint32_t expected = onQuad ? Expected(x, y, k) : kBackground;
        EXPECT_TRUE(ColorNear(pixels[size_t(y) * kWidth + x], expected, kTolerance)) << c.name << " at " << x << "," << y;
      }
    }
    if (c.markerX >= 0) {
      EXPECT_TRUE(ColorNear(pixels[size_t(c.markerY) * kWidth + c.markerX], kMarker, kTolerance)) << c.name;
      EXPECT_TRUE(ColorNear(Expected(c.markerX, c.markerY, k), kMarker, 1)) << c.name << ": the model agrees";
    }
  }
}

}  // namespace
