// The second group of effects drawn on a real device over the four-quadrant
// pattern: each pixel is compared with the effect's formula at its texel.
#include "render_fixture.h"

namespace group_b {
namespace {

// Each channel biased, then rounded to `steps` levels.
uint32_t Solarized(uint32_t texel, const int32_t bias[3], int32_t steps) {
  float out[3];
  const int channel[3] = {2, 1, 0};
  for (int i = 0; i < 3; ++i) {
    const float v = Unit(texel, channel[i]) + float(bias[i]) / 255.0f;
    out[i] = std::round(v * float(steps - 1)) / float(steps - 1);
  }
  return Argb(out[0], out[1], out[2]);
}

TEST_F(RenderTest, SolarizeRoundsEachBiasedChannelToItsLevels) {
  Make("Solarize Source", 0x19);
  NoteOn(100);
  const struct {
    int32_t bias[3];
    int32_t steps;
  } cases[] = {{{0, 0, 0}, 2}, {{0, 0, 0}, 4}, {{20, -30, 10}, 5}, {{255, 255, 255}, 8}, {{-255, -255, -255}, 8},
               {{0, 0, 0}, 64}};
  for (const auto& c : cases) {
    for (int i = 0; i < 3; ++i) plug_->SetParam(4 + i, c.bias[i]);
    plug_->SetParam(7, c.steps);
    const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(ColorNear(At(pixels, p.x, p.y), Solarized(pattern::kQuadrants[p.quadrant], c.bias, c.steps),
                            kTolerance))
          << "steps " << c.steps << " bias " << c.bias[0] << " quadrant " << p.quadrant;
    }
  }
  ExpectStatesRestored();
}

TEST_F(RenderTest, SolarizeKeyedLetsTheTargetShowThroughTheKeyColour) {
  Make("Solarize Source", 0x1B);
  for (int i = 0; i < 4; ++i) plug_->SetParam(i, 0);  // key black, distance 0 keys nothing
  plug_->SetParam(7, 64);
  NoteOn(100);
  EXPECT_TRUE(ColorNear(At(Frame(0xFF00FF00), 3, 9), 0xFF000000, kTolerance));
  plug_->SetParam(3, 10);
  const std::vector<uint32_t> pixels = Frame(0xFF00FF00);
  EXPECT_TRUE(ColorNear(At(pixels, 3, 9), 0xFF00FF00, kTolerance)) << "the black quadrant is keyed out";
  EXPECT_TRUE(ColorNear(At(pixels, 12, 9), pattern::kQuadrants[3], kTolerance));
  ExpectStatesRestored();
}

}  // namespace
}  // namespace group_b
