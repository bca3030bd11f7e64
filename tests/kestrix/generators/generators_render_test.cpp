// Rays Generator and String Theory drawn on a real device: each probed pixel
// is compared with the class's formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "generator_fixture.h"

namespace {

// Every comparison allows this much per 8-bit channel.
constexpr int kTolerance = 3;
constexpr float kPi = std::numbers::pi_v<float>;

uint32_t Rgb(float r, float g, float b) {
  auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 255.0f))); };
  return byte(r) << 16 | byte(g) << 8 | byte(b);
}

// --- Rays Generator --------------------------------------------------------

enum RaysParam { kRays, kSpeed, kBright1, kSize1, kBright2, kSize2, kRollRate, kSplit, kHue1, kRadius1, kAngle1,
                 kHue2, kRadius2, kAngle2 };
constexpr uint32_t kRaysManualAndClear = 32 | 4;

class RaysRender : public GeneratorRender {
 protected:
  // One vertical ray by hand through the middle of the 16 x 12 target, from
  // (0, 3.6) to (0, -3.6) pixels, 5 pixels either side of its centre line.
  void MakeOneRay(int32_t hue, int32_t bright) {
    Make("Rays Generator", kRaysManualAndClear);
    for (auto [param, value] : {std::pair{kRays, 1}, {kSplit, 0}, {kRadius1, 150}, {kRadius2, -150}, {kAngle1, 0},
                                {kAngle2, 0}, {kSize1, 50}, {kSize2, 50}, {kHue1, hue}, {kHue2, hue},
                                {kBright1, bright}, {kBright2, bright}}) {
      plug_->SetParam(param, value);
    }
  }
};

// The ray's colour, added over black: colour and alpha both fall off
// linearly to the edges, so a pixel `w` of the way from edge to centre line
// gets the colour times w twice.
uint32_t RayPixel(float hue, int32_t bright, float w) {
  auto channel = [](float v) { return std::floor(std::clamp((1.0f - std::cos(v)) * 255.0f, 0.0f, 255.0f)); };
  const float k = w * w * float(bright) / 255.0f;
  return Rgb(channel(hue + 2 * kPi / 3) * k, channel(hue) * k, channel(hue - 2 * kPi / 3) * k);
}

TEST_F(RaysRender, ByHandARayIsASoftBandAddedToThePicture) {
  const struct {
    int32_t hue, bright;
  } cases[] = {{0, 255}, {100, 255}, {250, 128}, {400, 40}};
  // Pixel centres lie on whole coordinates: column 8 is the centre line.
  const struct {
    int x, y;
    float w;
  } probes[] = {{8, 5, 1.0f}, {7, 6, 0.8f}, {10, 8, 0.6f}, {5, 5, 0.4f}, {1, 5, 0.0f}, {14, 7, 0.0f}};
  for (const auto& c : cases) {
    MakeOneRay(c.hue, c.bright);
    const std::vector<uint32_t> pixels = Frame(16);
    for (const auto& p : probes) {
      EXPECT_TRUE(RgbNear(At(pixels, p.x, p.y), RayPixel(float(c.hue) * 0.012f, c.bright, p.w), kTolerance))
          << "hue " << c.hue << " bright " << c.bright << " at " << p.x << "," << p.y;
    }
  }
  EXPECT_EQ(State(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(State(gfx::RenderState::DestBlend), uint32_t(gfx::Blend::InvSrcAlpha));
  EXPECT_EQ(State(gfx::RenderState::ZEnable), 1u);
  EXPECT_EQ(State(gfx::RenderState::ZWriteEnable), 1u);
}

TEST_F(RaysRender, CrossingRaysAddUp) {
  MakeOneRay(0, 255);
  Frame(16);
  // Without the clear option the second frame's ray lands on the first.
  ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(32)}})));
  const std::vector<uint32_t> pixels = Frame(16, false);
  const uint32_t once = RayPixel(0, 255, 0.6f);
  EXPECT_TRUE(RgbNear(At(pixels, 10, 5), Rgb(2.0f * float(once >> 16), 0, 2.0f * float(once & 0xFF)), kTolerance));
}

TEST_F(RaysRender, NoRaysOrRaysWithoutLengthDrawNothing) {
  const struct {
    int32_t rays, radius1, radius2;
  } cases[] = {{0, 150, -150}, {1, 0, 0}, {500, 0, 0}, {100000, 0, 0}};
  for (const auto& c : cases) {
    MakeOneRay(0, 255);
    plug_->SetParam(kRays, c.rays);
    plug_->SetParam(kRadius1, c.radius1);
    plug_->SetParam(kRadius2, c.radius2);
    const std::vector<uint32_t> pixels = Frame(16, true, 0xFF204060);
    for (uint32_t pixel : pixels) ASSERT_TRUE(RgbNear(pixel, 0x000000, 0)) << "rays " << c.rays;
  }
}

TEST_F(RaysRender, EraseOnNoteOffClearsToOpaqueBlack) {
  Make("Rays Generator", 1);
  Frame(16, true, 0xFF808080);
  ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
  plug_->NoteOff();
  device_->EndScene();
  EXPECT_TRUE(gfx::test::ColorNear(ReadBackBuffer()[0], 0xFF000000, 0));
}

// --- String Theory ---------------------------------------------------------

enum StringParam { kErase, kStringWidth, kDiameter, kGrowth, kStringSpeed, kAmplitude, kLifeSpan, kBirthRate };

class StringTheoryRender : public GeneratorRender {
 protected:
  struct Setting {
    StringParam param;
    int32_t value;
  };
  void MakeStrings(std::initializer_list<Setting> settings) {
    Make("String Theory", 0);
    for (const Setting& s : settings) plug_->SetParam(s.param, s.value);
  }
};

TEST_F(StringTheoryRender, EraseFadesThePreviousFrameByItsShare) {
  const struct {
    int32_t erase;
    float kept;
  } cases[] = {{0, 1.0f}, {64, 1.0f - 64.0f / 255}, {128, 1.0f - 128.0f / 255}, {254, 1.0f / 255}, {255, 0.0f}};
  for (const auto& c : cases) {
    // Loops of no size and no width cover nothing: only the fade shows.
    MakeStrings({{kErase, c.erase}, {kDiameter, 0}, {kStringWidth, 0}, {kAmplitude, 0}});
    plug_->NoteOn();
    Frame(16, true, 0xFFC08040);
    const std::vector<uint32_t> pixels = Frame(16, false);
    const float faded = c.kept * c.kept;  // two frames of fade
    for (auto [x, y] : {std::pair{0, 0}, {8, 6}, {15, 11}}) {
      EXPECT_TRUE(RgbNear(At(pixels, x, y), Rgb(192 * faded, 128 * faded, 64 * faded), kTolerance))
          << "erase " << c.erase;
    }
  }
}

float Unit() { return float(std::rand() & 32767) * 0.000030518509f; }

TEST_F(StringTheoryRender, ALoopIsAGlowingRingThatFadesIn) {
  // Half way into its fade-in (life 30 s fades over 6 s), with no drift,
  // growth or wobble. The loop's random values are drawn again here from the
  // same seed, in the order a birth draws them.
  constexpr uint32_t kAge = 3000;
  int checked = 0;
  for (unsigned seed = 1; seed < 40 && checked < 3; ++seed) {
    MakeStrings({{kErase, 255}, {kStringWidth, 255}, {kDiameter, 200}, {kGrowth, 0}, {kStringSpeed, 0}, {kAmplitude, 0},
                 {kLifeSpan, 200}, {kBirthRate, 0}});
    std::srand(seed);
    const float cx = 320 * Unit() - 160, cy = 200 * Unit() - 100;
    Unit();  // direction
    Unit();  // speed
    const float size = 200.0f / 3 + Unit() * (200.0f - 200.0f / 3);
    float frequency[3], rate[3];
    for (int k = 0; k < 3; ++k) {
      frequency[k] = float(std::rand() % 10);
      rate[k] = 12 * Unit() - 6;
      Unit();
    }
    std::srand(seed);
    plug_->NoteOn();
    const std::vector<uint32_t> pixels = Frame(kAge);
    const float time = float(kAge) * 0.001f;
    for (int y = 0; y < int(kHeight); ++y) {
      for (int x = 0; x < int(kWidth); ++x) {
        // The target shows 266.67 x 200 units with 0, 0 on the centre of
        // pixel 8, 6 (pixel centres lie on whole coordinates, as the
        // library's projections expect).
        const float ux = (float(x) - 8) * 266.66667f / 16, uy = (6 - float(y)) * 200.0f / 12;
        if (std::abs(std::hypot(ux - cx, uy - cy) - size) > 4.0f) continue;  // the band is 25.5 units wide
        const float a = std::atan2(ux - cx, uy - cy);
        const float glow = 0.6f + 0.2f * std::sin(a * frequency[0] + time * rate[1]) +
                           0.2f * std::sin(a * frequency[1] + time * rate[0]);
        const float v = 255 * 0.5f * glow;
        EXPECT_TRUE(RgbNear(At(pixels, x, y), Rgb(v, v, v), kTolerance)) << "seed " << seed << " at " << x << "," << y;
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 0) << "some seed puts the ring on screen";
}

TEST_F(StringTheoryRender, StatesAreRestoredAfterTheFrame) {
  MakeStrings({{kErase, 64}});
  plug_->NoteOn();
  Frame(16);
  EXPECT_EQ(State(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(State(gfx::RenderState::ZEnable), 1u);
  EXPECT_EQ(State(gfx::RenderState::ZWriteEnable), 1u);
}

// --- Twister Generator ----------------------------------------------------

TEST_F(GeneratorRender, TwisterEraseDarkensTheOldPictureEachFrame) {
  const struct {
    int32_t erase;
    float kept;
  } cases[] = {{0, 1.0f}, {64, 1.0f - 64.0f / 255}, {200, 1.0f - 200.0f / 255}, {255, 0.0f}};
  for (const auto& c : cases) {
    Make("Twister Generator", 0);
    plug_->SetParam(0, c.erase);
    plug_->SetParam(1, 0);  // no objects: only the fade shows, and no division by the length
    Frame(16, true, 0xFFC08040);
    const std::vector<uint32_t> pixels = Frame(16, false);
    const float faded = c.kept * c.kept;  // two frames of fade
    for (auto [x, y] : {std::pair{0, 0}, {8, 6}, {15, 11}}) {
      EXPECT_TRUE(RgbNear(At(pixels, x, y), Rgb(192 * faded, 128 * faded, 64 * faded), kTolerance))
          << "erase " << c.erase;
    }
  }
}

TEST_F(GeneratorRender, TwisterDrawsTheWholeColumnAndRestoresItsStates) {
  for (uint32_t options : {27u, 27u | 64u}) {
    Make("Twister Generator", options);
    EXPECT_TRUE(plug_->CreateDeviceObjects()) << "a second call starts afresh";
    plug_->SetParam(1, 200);
    plug_->NoteOn();
    for (int frame = 0; frame < 30; ++frame) Frame(16);
    EXPECT_EQ(State(gfx::RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(State(gfx::RenderState::ZEnable), 1u);
    EXPECT_EQ(State(gfx::RenderState::ZWriteEnable), 1u);
    plug_->ReleaseDeviceObjects();
    plug_->Render(16);  // nothing left to draw with: a quiet frame
  }
}

// --- Polarity ----------------------------------------------------------------

TEST_F(GeneratorRender, PolarityDrawsItsFirstArcInItsHue) {
  // One ring: radius 100 and full opacity from 78 to 122 units about the
  // centre, which the 500-unit-high screen puts on pixel 8, 6. The arc's
  // start, length, speed and hue are drawn again here from the same seed.
  const struct {
    int x, y;
    float angle;  // of the pixel about the centre: (sin a, cos a) points at it
  } probes[] = {{8, 4, 0.0f}, {10, 6, kPi / 2}, {8, 8, kPi}, {6, 6, -kPi / 2}};
  constexpr float kMargin = 0.3f;
  int inside = 0, outside = 0;
  for (unsigned seed = 1; seed < 30; ++seed) {
    Make("Polarity", 0);
    plug_->SetParam(2, 1);  // Rings
    std::srand(seed);
    const float start = 14 * Unit() - 7, length = 6 * Unit();
    const float speed = (Unit() * 2 - 1) * 0.01f * 200;
    const float hue = 12 * Unit() - 6;
    std::srand(seed);
    plug_->NoteOn();
    const std::vector<uint32_t> pixels = Frame(16);
    const float begin = start + 0.016f * speed;
    const uint32_t color = Rgb(255 * std::clamp(1 - std::cos(hue + 2 * kPi / 3), 0.0f, 1.0f),
                               255 * std::clamp(1 - std::cos(hue), 0.0f, 1.0f),
                               255 * std::clamp(1 - std::cos(hue - 2 * kPi / 3), 0.0f, 1.0f));
    for (const auto& p : probes) {
      const float along = std::fmod(std::fmod(p.angle - begin, 2 * kPi) + 2 * kPi, 2 * kPi);
      if (along > kMargin && along < length - kMargin) {
        EXPECT_TRUE(RgbNear(At(pixels, p.x, p.y), color, kTolerance)) << "seed " << seed << " at " << p.x << "," << p.y;
        ++inside;
      } else if (along > length + kMargin && along < 2 * kPi - kMargin) {
        EXPECT_TRUE(RgbNear(At(pixels, p.x, p.y), 0x000000, kTolerance)) << "seed " << seed << " at " << p.x << "," << p.y;
        ++outside;
      }
    }
    EXPECT_TRUE(RgbNear(At(pixels, 8, 6), 0x000000, 0)) << "the middle of the ring stays clear";
    EXPECT_TRUE(RgbNear(At(pixels, 0, 0), 0x000000, 0));
  }
  EXPECT_GT(inside, 10);
  EXPECT_GT(outside, 10);
  EXPECT_EQ(State(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(State(gfx::RenderState::ZWriteEnable), 1u);
}

}  // namespace
