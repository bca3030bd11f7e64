// Sphere Pulse and Cubist Source on a real device.
#include "render_fixture.h"

namespace {

using Shape = SquarePatternRender;

constexpr uint32_t kGreen = 0xFF00FF00;  // never a colour of the pattern
constexpr uint32_t kLooped = 8, kAbsolute = 512, kSpinX = 1024, kSpinY = 2048, kInsideOnly = 8192,
                   kLighting = 16384, kSphere = 65536, kAudio = 131072;
enum { kRotX, kRotY, kRotZ, kPosX, kPosY, kDepth, kAlpha, kWidthParam, kHeightParam, kDepthParam };

struct Probe {
  int x, y, quadrant;
};
constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

// Cubist held square to the camera: its near face fills the view.
void HoldSquare(lv::Plug& plug) {
  for (int i : {kRotX, kRotY, kRotZ}) plug.SetParam(i, 0);
}

TEST_F(Shape, CubistsNearFaceShowsTheWholeSourceUpright) {
  for (uint32_t lighting : {0u, kLighting}) {
    Make("Cubist Source", kLooped | kAbsolute | lighting);
    HoldSquare(*plug_);
    NoteOn(100);
    const std::vector<uint32_t> pixels = Frame(kGreen);
    for (const Probe& p : kProbes) {
      // A face seen head-on has its full colour, lit or not.
      EXPECT_TRUE(gfx::test::ColorNear(pixels[size_t(p.y) * kWidth + p.x], pattern::kQuadrants[p.quadrant], 2))
          << "lighting " << lighting << " quadrant " << p.quadrant;
    }
  }
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(Shape, CubistWithoutWidthIsFlatAndSeenEdgeOn) {
  Make("Cubist Source", kLooped | kAbsolute);
  HoldSquare(*plug_);
  plug_->SetParam(kWidthParam, 0);
  NoteOn(100);
  EXPECT_EQ(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight));
}

TEST_F(Shape, ShowInsideOnlyDrawsTheInnerFacesAlone) {
  // Left of and above the middle: the near face's top left quadrant, or,
  // from inside, the far face mirrored left to right.
  const int x = kWidth / 2 - 2, y = kHeight / 2 - 2;
  for (auto [options, quadrant] : {std::pair{kLooped | kAbsolute, 0}, {kLooped | kAbsolute | kInsideOnly, 1}}) {
    Make("Cubist Source", options);
    HoldSquare(*plug_);
    NoteOn(100);
    EXPECT_TRUE(gfx::test::ColorNear(Frame(kGreen)[size_t(y) * kWidth + x], pattern::kQuadrants[quadrant], 2))
        << "options " << options;
  }
}

TEST_F(Shape, TheRotationModesTurnTheBoxOrHoldIt) {
  const struct {
    uint32_t options;
    uint8_t velocity;
    bool moves;
  } cases[] = {
      {kSpinX | kSpinY, 64, false},  // relative, Z Rot 0: only the spins could turn it
      {kSpinX | kSpinY, 127, true},
      {kSpinX | kSpinY, 1, true},
      {kAbsolute, 127, false},       // held at the knobs' angles
      {0, 64, true},                 // relative: a tenth of the knobs every frame
  };
  for (const auto& c : cases) {
    Make("Cubist Source", kLooped | c.options);
    NoteOn(c.velocity);
    const std::vector<uint32_t> first = Frame(kGreen, 100);
    EXPECT_EQ(first != Frame(kGreen, 100), c.moves) << "options " << c.options << " velocity " << int(c.velocity);
  }
}

TEST_F(Shape, SpherePulseDrawsEveryShapeAndSmoothness) {
  for (uint32_t shape : {kSphere, 0u}) {
    for (int32_t smooth : {3, 80, 100, 0, 100000}) {  // the last two are kept within the knob's range
      Make("Sphere Pulse Source", kLooped | shape | kAudio);
      NoteOn(100);
      plug_->SetParam(7, smooth);  // rebuilt at the next frame
      const std::vector<uint32_t> pixels = Frame(kGreen);
      EXPECT_NE(pixels[(kHeight / 2) * kWidth + kWidth / 2], kGreen) << "shape " << shape << " Smooth " << smooth;
      EXPECT_EQ(pixels[0], kGreen) << "shape " << shape << " Smooth " << smooth;
    }
  }
}

TEST_F(Shape, AlphaZeroLeavesTheTargetAsItWas) {
  for (const char* kind : {"Sphere Pulse Source", "Cubist Source"}) {
    Make(kind, kLooped);
    plug_->SetParam(kAlpha, 0);
    NoteOn(100);
    EXPECT_EQ(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight)) << kind;
    EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
  }
}

}  // namespace
