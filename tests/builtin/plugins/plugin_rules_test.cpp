// What a note of the built-in plug-ins computes before it draws: colours,
// layouts, zoom steps and warp terms.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "plugins/color_fill.h"
#include "plugins/show_bmp.h"
#include "plugins/warp_source.h"

namespace {

using builtin::ColorFill;
using builtin::ShowBmp;
using builtin::WarpSource;

TEST(ColorFillColor, VelocityBrightensDarkensOrPicksAHue) {
  const uint32_t grey = 0x80C800C8;  // red 200, green 0, blue 200, alpha 0x80
  const uint32_t bright = ColorFill::kVelocityActive | ColorFill::kVelocityBrightness;
  const uint32_t hue = ColorFill::kVelocityActive | ColorFill::kVelocityHue;
  const struct {
    uint32_t word, options;
    uint8_t velocity;
    std::array<uint8_t, 4> rgba;
  } cases[] = {
      {grey, bright, 32, {100, 0, 100, 0x80}},
      {grey, bright, 96, {227, 127, 227, 0x80}},
      {grey, bright, 64, {200, 0, 200, 0x80}},
      {0xFF0000FF, bright, 96, {255, 127, 127, 0xFF}},
      {grey, hue, 1, {255, 0, 255, 0x80}},
      {grey, hue, 64, {255, 255, 248, 0x80}},
      {grey, hue, 127, {255, 255, 12, 0x80}},
      {grey, hue, 0, {255, 0, 255, 0x80}},           // below the wheel: its first step
      {grey, hue | bright, 32, {100, 0, 100, 0x80}},  // brightness wins
      {grey, ColorFill::kVelocityHue, 64, {200, 0, 200, 0x80}},  // not active
  };
  for (const auto& c : cases) {
    EXPECT_EQ(builtin::ColorFillNoteColor(c.word, c.options, c.velocity), c.rgba)
        << std::hex << c.options << std::dec << " velocity " << int(c.velocity);
  }
}

TEST(ShowBmpLayout, VelocityPicksTheCellOfTheGrid) {
  constexpr uint32_t W = 800, H = 600;
  const uint32_t active = ShowBmp::kVelocityActive;
  const struct {
    uint32_t options;
    uint8_t velocity;
    float halfWidth, halfHeight, x, y;
  } cases[] = {
      {active | ShowBmp::kVelocityQuarter, 0, 200, 150, -200, -150},  // bottom left
      {active | ShowBmp::kVelocityQuarter, 32, 200, 150, 200, -150},  // bottom right
      {active | ShowBmp::kVelocityQuarter, 64, 200, 150, -200, 150},  // top left
      {active | ShowBmp::kVelocityQuarter, 127, 200, 150, 200, 150},  // top right
      {active | ShowBmp::kVelocitySixteenth, 8, 100, 75, -100, -225},  // column 1, row 0
      {active | ShowBmp::kVelocitySixteenth, 127, 100, 75, 300, 225},  // column 3, row 3
      {active | ShowBmp::kVelocityNinth, 0, 800 / 6.0f, 100, -1600 / 6.0f, -200},
      {active | ShowBmp::kVelocityNinth, 64, 800 / 6.0f, 100, 1600 / 6.0f, 0},  // cell 5
      {active | ShowBmp::kVelocityNinth, 127, 800 / 6.0f, 100, 1600 / 6.0f, 200},  // kept in the grid
      // Zoom comes first; without the active bit the options are ignored.
      {active | ShowBmp::kVelocityZoom | ShowBmp::kVelocityQuarter, 0, 32, 16, 0, 0},
      {ShowBmp::kVelocityQuarter, 0, 32, 16, 0, 0},
      {ShowBmp::kStretch, 0, 400, 300, 0, 0},
  };
  for (const auto& c : cases) {
    const builtin::ShowBmpLayout l = builtin::ShowBmpNoteLayout(c.options, c.velocity, W, H, 64, 32);
    EXPECT_FLOAT_EQ(l.halfWidth, c.halfWidth) << std::hex << c.options << std::dec << " v " << int(c.velocity);
    EXPECT_FLOAT_EQ(l.halfHeight, c.halfHeight);
    EXPECT_NEAR(l.offsetX, c.x, 1e-3) << std::hex << c.options << std::dec << " v " << int(c.velocity);
    EXPECT_NEAR(l.offsetY, c.y, 1e-3);
  }
}

TEST(ShowBmpLayout, BrightnessFollowsTheVelocity) {
  const uint32_t options = ShowBmp::kVelocityActive | ShowBmp::kVelocityBrightness;
  const struct {
    uint8_t velocity;
    float brightness;
  } cases[] = {{0, 0.0f}, {32, 0.25f}, {64, 0.5f}, {65, 0.25f + 0.75f / 63}, {127, 1.0f}};
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(builtin::ShowBmpNoteLayout(options, c.velocity, 100, 100, 10, 10).brightness, c.brightness);
  }
  EXPECT_FLOAT_EQ(builtin::ShowBmpNoteLayout(0, 127, 100, 100, 10, 10).brightness, 0.25f);
}

// The zoom of each frame's quad for a note of `velocity` zooming between
// the two percentages.
std::vector<float> ZoomFrames(int32_t from, int32_t to, uint8_t velocity, int frames) {
  ShowBmp plug;
  plug.SetOptions(ShowBmp::kVelocityActive | ShowBmp::kVelocityZoom);
  plug.SetZoomFrom(from);
  plug.SetZoomTo(to);
  plug.velocity = velocity;
  plug.NoteOn();
  std::vector<float> zooms;
  for (int i = 0; i < frames; ++i) {
    zooms.push_back(plug.Zoom());
    plug.Render(16);  // no device: the zoom still steps
  }
  return zooms;
}

TEST(ShowBmpZoom, StepsEachFrameAndStopsAtTheTarget) {
  const std::vector<float> growing = ZoomFrames(50, 200, 64, 9);
  const float expectedGrowing[] = {0.5f, 0.75f, 1.0f, 1.25f, 1.5f, 1.75f, 2.0f, 2.0f, 2.0f};
  for (size_t i = 0; i < growing.size(); ++i) EXPECT_FLOAT_EQ(growing[i], expectedGrowing[i]) << "frame " << i;
  const std::vector<float> shrinking = ZoomFrames(200, 50, 127, 5);
  EXPECT_FLOAT_EQ(shrinking[1], 2.0f - 127.0f / 256);
  EXPECT_FLOAT_EQ(shrinking.back(), 0.5f);
}

int32_t Defaults[builtin::kNumWarpParams] = {0, 0, 0, 0, 5, 0, 0, 100, 64};

TEST(WarpConstants, StylesAnimateTheirTerms) {
  using builtin::ComputeWarpConstants;
  constexpr float kPi = std::numbers::pi_v<float>;
  // Spin: Rot grows by 2.5 a second at Rate 100; Subtle quarters it.
  EXPECT_FLOAT_EQ(ComputeWarpConstants(1, 0, Defaults, 64, 1000, 1).rot, 2.5f);
  EXPECT_FLOAT_EQ(ComputeWarpConstants(1, WarpSource::kSubtle, Defaults, 64, 1000, 1).rot, 0.625f);
  // Spiral with velocity 64: no twist.
  EXPECT_FLOAT_EQ(ComputeWarpConstants(0, WarpSource::kVelocityActive, Defaults, 64, 5000, 1).twist, 0.0f);
  // Pulse without velocity or audio.
  EXPECT_FLOAT_EQ(ComputeWarpConstants(2, 0, Defaults, 64, 2000, 1).pinch, 0.2f * std::sin(3.0f * 5.0f));
  // Pinch style: one petal, offset 3T.
  const builtin::WarpConstants pinch = ComputeWarpConstants(3, 0, Defaults, 64, 400, 1);
  EXPECT_FLOAT_EQ(pinch.petals, 1.0f);
  EXPECT_FLOAT_EQ(pinch.petalOffset, 3.0f);
  EXPECT_FLOAT_EQ(pinch.petalStrength, 0.3f);
  // Freeform, and any style beyond the list, shows the knobs: Rotate 360 is -pi.
  int32_t rotated[builtin::kNumWarpParams] = {0, 0, 0, 360, 5, 0, 0, 100, 64};
  for (int32_t style : {5, 7}) {
    const builtin::WarpConstants c = ComputeWarpConstants(style, 0, rotated, 64, 1000, 1);
    EXPECT_FLOAT_EQ(c.rot, -kPi) << style;
    EXPECT_FLOAT_EQ(c.twist, 0.0f);
    EXPECT_FLOAT_EQ(c.petals, 5.0f);
  }
}

TEST(WarpSourceRules, AudioLevelIsSmoothedWithTheLastFrame) {
  WarpSource plug;
  EXPECT_FLOAT_EQ(plug.SmoothLevel(1.0f), 0.5f);
  EXPECT_FLOAT_EQ(plug.SmoothLevel(0.0f), 0.375f);
}

TEST(WarpSourceRules, ParametersEnabledByStyleAndOptions) {
  WarpSource plug;
  auto enabled = [&plug] {
    std::string s;
    for (int i = -1; i < builtin::kNumWarpParams; ++i) s += plug.IsParamEnabled(i) ? '1' : '0';
    return s;
  };
  const struct {
    int32_t style;
    uint32_t options;
    const char* expected;  // index -1, then 0..8
  } cases[] = {
      {0, 0, "0001111110"},                                        // Spiral: no Twist
      {1, 0, "0011011110"},                                        // Spin: no Rotate
      {2, 0, "0010111110"},                                        // Pulse: no Pinch
      {3, 0, "0001110010"},                                        // Pinch: no Twist, Strength, Offset
      {4, WarpSource::kTransparentBlack, "1111110010"},            // Flower: no Strength, Offset
      {5, 0, "0011111111"},                                        // Freeform: all but the key
      {0, WarpSource::kOverrideVelocity, "0001111111"},
  };
  for (const auto& c : cases) {
    plug.SetStyle(c.style);
    plug.SetOptions(c.options);
    EXPECT_EQ(enabled(), c.expected) << "style " << c.style;
  }
}

TEST(WarpSourceRules, SubdivisionIsBoundedForTheMesh) {
  EXPECT_EQ(builtin::BoundedSubdivision(121), 121);
  EXPECT_EQ(builtin::BoundedSubdivision(0), 2);
  EXPECT_EQ(builtin::BoundedSubdivision(-5), 2);
  EXPECT_EQ(builtin::BoundedSubdivision(100000), 255);
}

}  // namespace
