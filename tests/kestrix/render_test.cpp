// The effects drawn on a real device over a source of four solid quadrants:
// each pixel is compared with the effect's formula applied to its texel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "render_fixture.h"

namespace {

// Every comparison allows this much per 8-bit channel.
constexpr int kTolerance = 2;

// The source times b, then times 4 in the shader.
uint32_t Brightened(uint32_t texel, float b) {
  return Argb(Unit(texel, 2) * b * 4, Unit(texel, 1) * b * 4, Unit(texel, 0) * b * 4);
}

TEST_F(KestrixRender, BrightenDimFromTheKnob) {
  Make("Brighten/Dim Source", 0x1D);  // stretch, erase, reset, looped; brightness from the knob
  const struct {
    int32_t bright;
    float b;
  } cases[] = {{0, 0.0f}, {50, 0.125f}, {100, 0.25f}, {150, 0.625f}, {200, 1.0f}};
  for (const auto& c : cases) {
    plug_->SetParam(0, c.bright);
    NoteOn(100);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Brightened(pattern::kQuadrants[p.quadrant], c.b), kTolerance))
          << "Bright " << c.bright << " quadrant " << p.quadrant;
    }
  }
  uint32_t blending = 1, depthWrites = 0;
  device_->GetRenderState(gfx::RenderState::AlphaBlendEnable, &blending);
  device_->GetRenderState(gfx::RenderState::ZWriteEnable, &depthWrites);
  EXPECT_EQ(blending, 0u);
  EXPECT_EQ(depthWrites, 1u);
}

TEST_F(KestrixRender, BrightenDimFromTheVelocityKeepsTheNotesBrightness) {
  Make("Brighten/Dim Source", 0x9D);
  const struct {
    uint8_t velocity;
    float b;
  } cases[] = {{1, 1.0f / 256}, {32, 0.125f}, {64, 0.25f}, {100, 0.25f + 0.75f * 36 / 63}, {127, 1.0f}};
  for (const auto& c : cases) {
    NoteOn(c.velocity);
    plug_->SetParam(0, 0);  // the knob does not count while the velocity sets the brightness
    const std::vector<uint32_t> pixels = Frame();
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Brightened(pattern::kQuadrants[p.quadrant], c.b), kTolerance))
          << "velocity " << int(c.velocity) << " quadrant " << p.quadrant;
    }
  }
}

TEST_F(KestrixRender, TransparentBlackLetsTheTargetShowThrough) {
  Make("Brighten/Dim Source", 0x1F);
  const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 9), 0xFF00FF00, kTolerance)) << "the black quadrant is keyed out";
  EXPECT_TRUE(ColorNear(At(pixels, 3, 2), pattern::kQuadrants[0], kTolerance));
  EXPECT_TRUE(ColorNear(At(pixels, 12, 9), pattern::kQuadrants[3], kTolerance));
}

TEST_F(KestrixRender, WithoutStretchTheFrameIsShownAtItsOwnSizeInTheCentre) {
  pattern::frameWidth = kWidth / 2;
  pattern::frameHeight = kHeight / 2;
  Make("Brighten/Dim Source", 0x1C);
  const std::vector<uint32_t> pixels = Frame(0xFF0000FF);
  // The 8 x 6 frame covers x 4..11 and y 3..8.
  for (auto [x, y] : {std::pair{1, 1}, {3, 5}, {12, 5}, {8, 2}, {8, 9}, {14, 10}}) {
    EXPECT_TRUE(ColorNear(At(pixels, x, y), 0xFF0000FF, kTolerance)) << x << "," << y;
  }
  EXPECT_TRUE(ColorNear(At(pixels, 5, 4), pattern::kQuadrants[0], kTolerance));
  EXPECT_TRUE(ColorNear(At(pixels, 10, 4), pattern::kQuadrants[1], kTolerance));
  EXPECT_TRUE(ColorNear(At(pixels, 5, 7), pattern::kQuadrants[2], kTolerance));
  EXPECT_TRUE(ColorNear(At(pixels, 10, 7), pattern::kQuadrants[3], kTolerance));
}

// The mix towards the inverse, applied twice.
uint32_t Inverted(uint32_t texel, int32_t amount, bool brightnessOnly) {
  const float s = float(amount) / 127.0f;
  const float mix = 1.0f - (1.0f - s) * (1.0f - s);
  const float rgb[3] = {Unit(texel, 2), Unit(texel, 1), Unit(texel, 0)};
  const float b = 0.3f * rgb[0] + 0.5f * rgb[1] + 0.2f * rgb[2];
  float out[3];
  for (int i = 0; i < 3; ++i) {
    const float inverse = brightnessOnly ? (1 - b) - (b - rgb[i]) : 1 - rgb[i];
    out[i] = rgb[i] + mix * (inverse - rgb[i]);
  }
  return Argb(out[0], out[1], out[2]);
}

TEST_F(KestrixRender, InvertColoursOrBrightnessByTheAmount) {
  for (bool brightnessOnly : {false, true}) {
    Make("Invert Source", brightnessOnly ? 0x1F : 0x0F);
    NoteOn(100);
    for (int32_t amount : {0, 32, 64, 127, 128}) {
      plug_->SetParam(0, amount);
      const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
      for (const Probe& p : kProbes) {
        EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Inverted(pattern::kQuadrants[p.quadrant], amount, brightnessOnly),
                              kTolerance))
            << (brightnessOnly ? "brightness" : "colours") << " amount " << amount << " quadrant " << p.quadrant;
      }
    }
  }
  // A grey has no hue to keep: both ways invert it alike.
  EXPECT_EQ(Inverted(pattern::kQuadrants[3], 127, true), Inverted(pattern::kQuadrants[3], 127, false));
}

TEST_F(KestrixRender, EraseOnNoteOffClearsToBlackAndDetaches) {
  Make("Invert Source", 0x0F);
  NoteOn(100);
  Frame(0xFF00FF00);
  ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
  plug_->NoteOff();
  device_->EndScene();
  EXPECT_TRUE(ColorNear(ReadBackBuffer()[0], 0xFF000000, 0));
}

}  // namespace
