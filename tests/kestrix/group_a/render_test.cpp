// Fade, HSV Modify, Chroma Key and Wipe drawn on a real device: each pixel
// is compared with the effect's formula applied to its texel.
#include <cmath>
#include <numbers>

#include "render_fixture.h"

namespace group_a {
namespace {

constexpr uint32_t kGreen = 0xFF00FF00;

std::string Byte(int v) { return std::string(1, char(uint8_t(v))); }

// ---- Fade Source

TEST_F(Render, FadeMovesTheOpacityOverTheFadeTime) {
  const struct {
    uint32_t options;  // stretch on in every case
    int from, to;
    uint8_t velocity;
    uint32_t elapsed;  // at the end of the measured frame
    float alpha;
  } cases[] = {
      {0x40, 0, 100, 100, 450, 0.5f},           // fixed 900 ms fade-in
      {0x40, 0, 100, 100, 900, 1.0f},           // and it stays opaque
      {0x40, 0, 100, 100, 5000, 1.0f},
      {0x40, 100, 0, 100, 225, 0.75f},          // fade-out
      {0x40, 100, 0, 100, 2000, 0.0f},          // transparent but still drawn
      {0xC0, 0, 100, 127, 16, 1.0f},            // velocity 127: no fade at all
      {0xC0, 20, 80, 97, 450, 0.2f + 0.6f * 0.5f},  // (127 - 97)^2 = 900 ms
      {0x2C0, 0, 100, 1, 3969 / 2, 0.5f},       // override 64: 63^2 ms whatever the note
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "options " << c.options << " " << c.from << "->" << c.to << " velocity "
                                      << int(c.velocity) << " at " << c.elapsed);
    Make("Fade Source", c.options, {{"FFRM", Byte(c.from)}, {"FTO ", Byte(c.to)}});
    NoteOn(c.velocity);
    const std::vector<uint32_t> pixels = Frame(kGreen, c.elapsed);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(Near(At(pixels, p.x, p.y), Mix(kGreen, pattern::kQuadrants[p.quadrant], c.alpha)))
          << "quadrant " << p.quadrant;
    }
  }
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
}

TEST_F(Render, FadeAdditiveAddsAndKeyedLetsBlackThrough) {
  Make("Fade Source", 0x140, {{"FFRM", Byte(50)}, {"FTO ", Byte(50)}});
  NoteOn(100);
  std::vector<uint32_t> pixels = Frame(0xFF404040);
  for (const Probe& p : kProbes) {
    const Rgb t = Unpack(pattern::kQuadrants[p.quadrant]);
    const float base = float(0x40) / 255.0f;
    EXPECT_TRUE(Near(At(pixels, p.x, p.y), Argb({base + t.r * 0.5f, base + t.g * 0.5f, base + t.b * 0.5f}),
                          kTolerance))
        << "quadrant " << p.quadrant;
  }
  EXPECT_EQ(RenderState(gfx::RenderState::SrcBlend), uint32_t(gfx::Blend::SrcAlpha)) << "factors restored";
  EXPECT_EQ(RenderState(gfx::RenderState::DestBlend), uint32_t(gfx::Blend::InvSrcAlpha));

  Make("Fade Source", 0x42, {{"FFRM", Byte(100)}, {"FTO ", Byte(100)}});
  NoteOn(100);
  pixels = Frame(kGreen);
  EXPECT_TRUE(Near(At(pixels, 3, 9), kGreen)) << "the black quadrant is keyed out";
  EXPECT_TRUE(Near(At(pixels, 12, 9), pattern::kQuadrants[3]));
}

// ---- HSV Modify Source

float Luminance(Rgb c) { return 0.3086f * c.r + 0.6094f * c.g + 0.0820f * c.b; }

// Saturation s and value k applied without a hue turn.
uint32_t Saturated(uint32_t texel, float s, float k) {
  const Rgb t = Unpack(texel);
  const float l = Luminance(t);
  return Argb({(l + s * (t.r - l)) * k, (l + s * (t.g - l)) * k, (l + s * (t.b - l)) * k});
}

std::vector<uint32_t> Probed(const std::vector<uint32_t>& pixels) {
  std::vector<uint32_t> out;
  for (const Probe& p : kProbes) out.push_back(pixels[size_t(p.y) * 16 + p.x]);
  return out;
}

TEST_F(Render, HsvSaturationAndValueFollowTheKnobs) {
  Make("HSV Modify Source", 0x0F);
  NoteOn(100);
  const struct {
    int32_t sat, val;
    float s, k;
  } cases[] = {
      {0, 0, 1, 1},         // identity: the source unchanged
      {-128, 0, 0, 1},      // grey of the same luminance
      {-64, -64, 0.5f, 0.5f},
      {32, 0, 2, 1},        // above 1 saturation climbs four times as fast
      {0, 64, 1, 2},        // and value twice as fast
      {0, -128, 1, 0},
  };
  for (const auto& c : cases) {
    plug_->SetParam(1, c.sat);
    plug_->SetParam(2, c.val);
    const std::vector<uint32_t> pixels = Frame(kGreen);
    for (const Probe& p : kProbes) {
      EXPECT_TRUE(Near(At(pixels, p.x, p.y), Saturated(pattern::kQuadrants[p.quadrant], c.s, c.k)))
          << "sat " << c.sat << " val " << c.val << " quadrant " << p.quadrant;
    }
  }
}

TEST_F(Render, HsvHueTurnKeepsLuminanceAndGrey) {
  Make("HSV Modify Source", 0x0F);
  NoteOn(100);
  plug_->SetParam(0, 180);
  const std::vector<uint32_t> half = Probed(Frame());
  plug_->SetParam(0, -180);
  EXPECT_EQ(Probed(Frame()), half) << "a half turn either way";
  EXPECT_TRUE(Near(half[3], pattern::kQuadrants[3])) << "grey has no hue to turn";
  EXPECT_FALSE(Near(half[0], pattern::kQuadrants[0], 20));

  plug_->SetParam(0, 15);
  const std::vector<uint32_t> turned = Probed(Frame());
  for (int q : {0, 1}) {
    EXPECT_NEAR(Luminance(Unpack(turned[q])), Luminance(Unpack(pattern::kQuadrants[q])), 3.0f / 255) << q;
    EXPECT_FALSE(Near(turned[q], pattern::kQuadrants[q], 2)) << q;
  }

  // Velocity 64 for all three: saturation and value unchanged, hue a half turn.
  Make("HSV Modify Source", 0x7F);
  NoteOn(64);
  const std::vector<uint32_t> fromVelocity = Probed(Frame());
  for (int q = 0; q < 4; ++q) EXPECT_TRUE(Near(fromVelocity[q], half[q])) << q;
}

// ---- Chroma Key Source

// The hue angle (degrees) of a colour in the Cb/Cr plane, as the key hue
// knob measures it.
float KeyHueOf(uint32_t argb) {
  const Rgb c = Unpack(argb);
  const float cb = -0.172f * c.r - 0.339f * c.g + 0.511f * c.b;
  const float cr = 0.511f * c.r - 0.428f * c.g - 0.083f * c.b;
  float degrees = std::atan2(cb, cr) * 180.0f / std::numbers::pi_v<float>;
  return degrees < 0 ? degrees + 360 : degrees;
}

TEST_F(Render, ChromaKeyTakesAlphaFromTheHueDistance) {
  const float orange = KeyHueOf(pattern::kQuadrants[0]);
  const struct {
    int32_t hue, strength, falloff, yLimit;
    float orangeAlpha;  // the other quadrants are far in hue, dark or grey: kept
  } cases[] = {
      {int32_t(std::lround(orange)), 10, 10, 16, 0.0f},
      {int32_t(std::lround(orange + 15)), 10, 10, 16, std::clamp((std::abs(std::lround(orange + 15) - orange) - 10) / 10, 0.0f, 1.0f)},
      {int32_t(std::lround(orange)), 10, 10, 255, 1.0f},  // nothing brighter than the limit
      {int32_t(std::lround(orange + 5)), 10, 0, 0, 0.0f},  // hard edge: inside the strength
      {int32_t(std::lround(orange + 12)), 10, 0, 0, 1.0f}, //            and outside it
      {int32_t(std::lround(orange + 180)) % 360, 10, 10, 0, 1.0f},  // the opposite hue is far away
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "hue " << c.hue << " strength " << c.strength << " falloff " << c.falloff
                                      << " limit " << c.yLimit);
    Make("Chroma Key Source", 0x0F);
    for (int i = 0; i < 4; ++i) plug_->SetParam(i, std::array{c.hue, c.strength, c.falloff, c.yLimit}[size_t(i)]);
    NoteOn(100);
    const std::vector<uint32_t> pixels = Frame(kGreen);
    EXPECT_TRUE(Near(At(pixels, 3, 2), Mix(kGreen, pattern::kQuadrants[0], c.orangeAlpha)));
    for (const Probe& p : {kProbes[1], kProbes[2], kProbes[3]}) {
      EXPECT_TRUE(Near(At(pixels, p.x, p.y), pattern::kQuadrants[p.quadrant]))
          << "quadrant " << p.quadrant;
    }
  }
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
}

// ---- Wipe Source

class WipeRender : public Render {
 protected:
  // The Wipe as plug_, then a plain Brighten/Dim of the same pattern drawn
  // after it at z = 1 with the depth test the host leaves on.
  void MakeWipe(uint32_t options, int32_t keyDist) {
    Make("Wipe Source", options);
    plug_->SetParam(3, keyDist);
    other_ = MakePlug("Brighten/Dim Source", {{"FLAG", U32(0x1D)}});
    ASSERT_NE(other_, nullptr);
    other_->SetParam(0, 100);
  }
  // Where the wipe let the later drawing through, per quadrant.
  std::vector<bool> Shown(uint8_t velocity, uint32_t ms = 16) {
    plug_->velocity = velocity;
    plug_->NoteOn();
    other_->velocity = velocity;
    other_->NoteOn();
    const std::vector<uint32_t> pixels = Frame(kGreen, ms);
    std::vector<bool> shown;
    for (const Probe& p : kProbes) {
      const uint32_t pixel = At(pixels, p.x, p.y);
      EXPECT_TRUE(Near(pixel, kGreen) || Near(pixel, pattern::kQuadrants[p.quadrant]))
          << "quadrant " << p.quadrant << " neither hidden nor drawn";
      shown.push_back(!Near(pixel, kGreen));
    }
    return shown;
  }
};

TEST_F(WipeRender, TheTemplateHidesLaterDrawingWhereItIsNotKeyedOut) {
  MakeWipe(0x0D, 10);  // key black within 10/145
  EXPECT_EQ(Shown(100), (std::vector<bool>{false, false, true, false}));
  EXPECT_EQ(RenderState(gfx::RenderState::ColorWriteEnable), 0xFu);
  EXPECT_EQ(RenderState(gfx::RenderState::ZFunc), uint32_t(gfx::Cmp::LessEqual));
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaTestEnable), 0u);
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaFunc), uint32_t(gfx::Cmp::Always));

  MakeWipe(0x0D, 0);  // keys nothing: all hidden
  EXPECT_EQ(Shown(100), (std::vector<bool>(4, false)));
  MakeWipe(0x0D, 255);  // beyond every colour distance: nothing hidden
  EXPECT_EQ(Shown(100), (std::vector<bool>(4, true)));
}

TEST_F(WipeRender, AloneItLeavesTheTargetsColourUntouched) {
  Make("Wipe Source", 0x0D);
  NoteOn(100);
  const std::vector<uint32_t> pixels = Frame(kGreen);
  for (const Probe& p : kProbes) EXPECT_TRUE(Near(At(pixels, p.x, p.y), kGreen, 0));
}

TEST_F(WipeRender, VelocityWipeSpeedGrowsTheKeyOverTime) {
  MakeWipe(0x1D, 0);
  EXPECT_EQ(Shown(127), (std::vector<bool>(4, true))) << "velocity 127 wipes everything at once";
  MakeWipe(0x1D, 0);
  EXPECT_EQ(Shown(64, 0), (std::vector<bool>(4, false))) << "nothing keyed at the note's start";
  // Velocity 64 at 1 s: 1 / (10 * 63/127) * 127/145 = 0.177, beyond black's distance only.
  MakeWipe(0x1D, 0);
  EXPECT_EQ(Shown(64, 1000), (std::vector<bool>{false, false, true, false}));
}


}  // namespace
}  // namespace group_a
