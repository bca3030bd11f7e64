// Fade, HSV Modify, Chroma Key, Wipe, Blend, Blur and Glow drawn on a real
// device: each pixel is compared with the effect's formula applied to its texel.
#include <cmath>
#include <numbers>

#include "picture_source.h"
#include "render_fixture.h"

namespace {

// Every comparison allows this much per 8-bit channel.
constexpr int kTolerance = 2;

constexpr uint32_t kGreen = 0xFF00FF00;

using Plug = KestrixLibrary::PlugPtr;

struct Rgb {
  float r, g, b;
};

inline Rgb Unpack(uint32_t argb) {
  return {float(Channel(argb, 2)) / 255.0f, float(Channel(argb, 1)) / 255.0f, float(Channel(argb, 0)) / 255.0f};
}

inline uint32_t Argb(Rgb c, float a = 1.0f) {
  auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// `over` blended onto `under` with opacity a.
inline uint32_t Mix(uint32_t under, uint32_t over, float a) {
  const Rgb u = Unpack(under), o = Unpack(over);
  return Argb({u.r + (o.r - u.r) * a, u.g + (o.g - u.g) * a, u.b + (o.b - u.b) * a});
}

// "Framebuffer:" for the drawing tests: one solid colour of the target's
// size, standing for the picture drawn so far.
inline uint32_t framebufferColour = 0xFF6080A0;

gfx::test::Picture FramebufferPicture() { return {16, 12, std::vector<uint32_t>(16 * 12, framebufferColour)}; }

inline constexpr lv::ClassId kFramebufferId{0x5011D, 1, 2, {3, 4, 5, 6, 7, 8, 9, 11}};

// The pattern and "Framebuffer:" as sources.
class Render : public KestrixRender {
 protected:
  void SetUp() override {
    KestrixRender::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    library_->Registry().RegisterSourceKind(&framebufferKind_, nullptr);
  }
  gfx::test::PictureKind framebufferKind_{kFramebufferId, "Framebuffer", "One solid colour", &FramebufferPicture};
};

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

// ---- Blend Source

// One channel of a mode's blended colour B from source s and frame f.
float Blended(int mode, float s, float f) {
  auto overlay = [](float pick, float s, float f) {
    return std::round(pick) == 0 ? std::min(2 * s * f, 1.0f) : std::clamp(1 - 2 * (1 - s) * (1 - f), 0.0f, 1.0f);
  };
  switch (mode) {
    case 0: return s;
    case 2: return std::min(s, f);
    case 3: return s * f;
    case 4: return s <= 0 ? 0 : std::clamp(1 - (1 - f) / s, 0.0f, 1.0f);
    case 5: return std::max(s, f);
    case 6: return 1 - (1 - s) * (1 - f);
    case 7: return s >= 1 ? 1 : std::clamp(f / (1 - s), 0.0f, 1.0f);
    case 8: return overlay(f, s, f);
    case 9: return std::clamp(f * s + f * (1 - (1 - f) * (1 - s) - f * s), 0.0f, 1.0f);
    case 10: return overlay(s, s, f);
    case 11: return std::round(s) == 0 ? std::min(s, f) : std::max(s, f);
    case 12: return std::abs(s - f);
    case 13: return s + f - 2 * s * f;
  }
  return 0;
}

TEST_F(Render, BlendEveryModeMixesByOpacity) {
  Make("Blend Source", 6);
  NoteOn(100);
  const uint32_t frame = framebufferColour;
  for (int mode : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}) {
    for (int32_t opacity : {0, 128, 255}) {
      plug_->SetParam(0, opacity);
      plug_->SetParam(1, mode);
      const std::vector<uint32_t> pixels = Frame(kGreen);
      const float a = float(opacity) / 255.0f;
      for (const Probe& p : kProbes) {
        const Rgb s = Unpack(pattern::kQuadrants[p.quadrant]), f = Unpack(frame);
        const Rgb b{Blended(mode, s.r, f.r), Blended(mode, s.g, f.g), Blended(mode, s.b, f.b)};
        EXPECT_TRUE(Near(At(pixels, p.x, p.y), Mix(frame, Argb(b), a)))
            << "mode " << mode << " opacity " << opacity << " quadrant " << p.quadrant;
      }
    }
  }
  char name[32] = {};
  plug_->GetParamInfo(1)->format(4, name, plug_.get(), 1);
  EXPECT_STREQ(name, "Burn");
  EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
}

TEST_F(Render, BlendBurnAndDodgeSaturateWhereTheyWouldDivideByZero) {
  // The black quadrant burns to black; a white frame stays white under Dodge.
  framebufferColour = 0xFFFFFFFF;
  Make("Blend Source", 6);
  NoteOn(100);
  plug_->SetParam(0, 255);
  plug_->SetParam(1, 4);
  EXPECT_TRUE(Near(At(Frame(), 3, 9), 0xFF000000));
  plug_->SetParam(1, 7);
  EXPECT_TRUE(Near(At(Frame(), 3, 9), 0xFFFFFFFF));
  framebufferColour = 0xFF6080A0;
}

TEST_F(Render, BlendDissolveShowsTheSourceWhereTheOpacityReachesTheNoise) {
  Make("Blend Source", 6);
  NoteOn(100);
  plug_->SetParam(1, 1);
  plug_->SetParam(0, 255);
  std::vector<uint32_t> pixels = Frame(kGreen);
  for (const Probe& p : kProbes) EXPECT_TRUE(Near(At(pixels, p.x, p.y), pattern::kQuadrants[p.quadrant]));
  plug_->SetParam(0, 128);
  pixels = Frame(kGreen);
  int fromSource = 0, fromFrame = 0;
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      const uint32_t source = pattern::kQuadrants[(y >= 6 ? 2 : 0) + (x >= 8 ? 1 : 0)];
      const uint32_t pixel = At(pixels, x, y);
      if (Near(pixel, source)) ++fromSource;
      else if (Near(pixel, framebufferColour)) ++fromFrame;
      else ADD_FAILURE() << x << "," << y << " is neither source nor frame";
    }
  }
  EXPECT_GT(fromSource, 0);
  EXPECT_GT(fromFrame, 0);
}

// ---- Blur Source

// The seven-tap box, with clamped edges, along x or y of a 16 x 12 picture.
std::vector<Rgb> BoxPass(const std::vector<Rgb>& in, bool horizontal) {
  std::vector<Rgb> out(in.size());
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 16; ++x) {
      Rgb sum{0, 0, 0};
      for (int t = -3; t <= 3; ++t) {
        const int sx = horizontal ? std::clamp(x + t, 0, 15) : x, sy = horizontal ? y : std::clamp(y + t, 0, 11);
        const Rgb& c = in[size_t(sy) * 16 + sx];
        sum = {sum.r + c.r / 7, sum.g + c.g / 7, sum.b + c.b / 7};
      }
      out[size_t(y) * 16 + x] = sum;
    }
  }
  return out;
}

std::vector<Rgb> PatternPicture() {
  std::vector<Rgb> picture;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) picture.push_back(Unpack(pattern::kQuadrants[(y >= 6 ? 2 : 0) + (x >= 8 ? 1 : 0)]));
  return picture;
}

// `compared` picks the pixels that count (all by default).
void ExpectPicture(const std::vector<uint32_t>& pixels, const std::vector<Rgb>& expected, const char* what,
                   bool (*compared)(int x, int y) = nullptr) {
  int wrong = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    if (compared != nullptr && !compared(int(i % 16), int(i / 16))) continue;
    if (!Near(pixels[i], Argb(expected[i])) && wrong++ < 4) {
      ADD_FAILURE() << what << " at " << i % 16 << "," << i / 16 << ": " << std::hex << pixels[i] << " not "
                    << Argb(expected[i]);
    }
  }
}

TEST_F(Render, BlurIsASevenTapBoxPerPass) {
  Make("Blur Source", 0x0F);  // stretch; width from the knobs
  NoteOn(100);
  plug_->SetParam(0, 0);
  plug_->SetParam(1, 0);
  ExpectPicture(Frame(kGreen), PatternPicture(), "no blur");
  plug_->SetParam(0, 16);  // one texel a tap
  plug_->SetParam(1, 16);
  for (int32_t passes : {1, 2}) {
    plug_->SetParam(2, passes);
    std::vector<Rgb> expected = BoxPass(PatternPicture(), true);
    for (int i = 1; i < passes; ++i) expected = BoxPass(BoxPass(expected, false), true);
    ExpectPicture(Frame(kGreen), BoxPass(expected, false), passes == 1 ? "one pass" : "two passes");
  }
  EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(Render, BlurAnimationShrinksToSharpAndVelocitySetsTheWidth) {
  Make("Blur Source", 0x4F);  // animated, "On Off": a = v t / 10000 reaches a quarter turn and stays sharp
  plug_->SetParam(3, 3);
  NoteOn(100);
  ExpectPicture(Frame(kGreen, 200), PatternPicture(), "after the quarter turn");
  Make("Blur Source", 0x8F);  // velocity 16: one texel a tap
  plug_->SetParam(0, 0);
  NoteOn(16);
  ExpectPicture(Frame(kGreen), BoxPass(BoxPass(PatternPicture(), true), false), "velocity 16");
  plug_->NoteOff();
  ExpectPicture(Frame(kGreen), std::vector<Rgb>(16 * 12, Unpack(kGreen)), "after note off nothing is drawn");
}

// ---- Glow Source

// The glow is drawn from a quarter-width, half-height target, so pixels near
// the quadrant edges are a mix; these are not.
bool AwayFromTheGlowEdge(int x, int y) { return (x <= 5 && y <= 4) || x >= 10 || y >= 7; }

TEST_F(Render, GlowAddsTheKeyedPixels) {
  const Rgb orange = Unpack(pattern::kQuadrants[0]);
  const auto key = [&](Plug& plug, int32_t dist) {
    plug->SetParam(0, int32_t(std::lround(orange.r * 255)));
    plug->SetParam(1, int32_t(std::lround(orange.g * 255)));
    plug->SetParam(2, int32_t(std::lround(orange.b * 255)));
    plug->SetParam(3, dist);
    plug->SetParam(4, 0);  // no blur: the mask as extracted
    plug->SetParam(5, 0);
    plug->SetParam(6, 1);
  };
  Make("Glow Source", 0x08F);  // stretch; source under the glow
  key(plug_, 0);
  NoteOn(100);
  ExpectPicture(Frame(kGreen), PatternPicture(), "key distance 0 adds nothing");

  Make("Glow Source", 0x00F);  // the glow alone
  key(plug_, 25);
  NoteOn(100);
  std::vector<Rgb> expected(16 * 12, Unpack(kGreen));
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) expected[size_t(y) * 16 + x] = {1, 1, 1};
  ExpectPicture(Frame(kGreen), expected, "white glow over the orange quadrant", AwayFromTheGlowEdge);

  Make("Glow Source", 0x10F);  // strength from the velocity
  key(plug_, 25);
  NoteOn(64);
  const float g = 64.0f / 127.0f;
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 8; ++x) expected[size_t(y) * 16 + x] = {g, 1, g};
  ExpectPicture(Frame(kGreen), expected, "half-strength glow", AwayFromTheGlowEdge);
  EXPECT_EQ(RenderState(gfx::RenderState::SrcBlend), uint32_t(gfx::Blend::SrcAlpha));
  EXPECT_EQ(RenderState(gfx::RenderState::DestBlend), uint32_t(gfx::Blend::InvSrcAlpha));
}

TEST_F(Render, GlowOfAFrameNarrowerThanFourStillDraws) {
  pattern::frameWidth = 2;
  pattern::frameHeight = 1;
  Make("Glow Source", 0x08F);
  plug_->SetParam(3, 0);
  NoteOn(100);
  const std::vector<uint32_t> pixels = Frame(kGreen);
  EXPECT_TRUE(Near(At(pixels, 12, 2), pattern::kQuadrants[3])) << "the source (one row: the lower quadrants) under an empty glow";
  plug_->NoteOff();
}

}  // namespace
