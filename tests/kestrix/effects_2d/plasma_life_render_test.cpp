// Plasma Life on a real device: the seed, the simulation steps and the show.
#include <cmath>

#include "render_fixture.h"

namespace {

constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kStretch = 1, kErase = 2, kReset = 4, kLooped = 8;
enum { kA, kB, kBeta, kScale, kDrawScale };

struct Probe {
  int x, y, quadrant;
};
constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

class Plasma : public SquarePatternRender {
 protected:
  // No reaction and no diffusion: every texel keeps its seed.
  void MakeStill(uint32_t options = kStretch | kReset | kLooped) {
    Make("Plasma Life", options);
    for (int i : {kA, kB, kBeta, kScale}) plug_->SetParam(i, 0);
  }
  uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }
};

// The seed holds red and green times 8; the show scales by DrawScale / 255.
uint32_t Shown(uint32_t texel, int32_t drawScale) {
  auto channel = [&](int shift) {
    const float v = float((texel >> shift) & 0xFF) / 255.0f * 8.0f * float(drawScale) / 255.0f;
    return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  return 0xFF000000u | channel(16) << 16 | channel(8) << 8;
}

TEST_F(Plasma, TheSeedShowsTheSourcesRedAndGreenScaledByDrawScale) {
  MakeStill();
  NoteOn(100);
  for (int32_t drawScale : {32, 16, 0, 64}) {
    plug_->SetParam(kDrawScale, drawScale);
    const std::vector<uint32_t> pixels = Frame(kGreen);
    for (const Probe& p : kProbes) {
      // Blending is off: DrawScale 0 draws black over the quad.
      EXPECT_TRUE(gfx::test::ColorNear(At(pixels, p.x, p.y) & 0x00FFFFFF,
                                       Shown(pattern::kQuadrants[p.quadrant], drawScale) & 0x00FFFFFF, 2))
          << "DrawScale " << drawScale << " quadrant " << p.quadrant;
    }
  }
  EXPECT_EQ(RenderState(gfx::RenderState::ZEnable), 1u);
  EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(Plasma, WithoutDiffusionEachTexelEvolvesByItself) {
  MakeStill();
  NoteOn(100);
  const std::vector<uint32_t> first = Frame(kGreen);
  for (int i = 0; i < 5; ++i) Frame(kGreen);
  EXPECT_EQ(Frame(kGreen), first);
  // Diffusion blurs the quadrants' borders and leaves their insides alone.
  plug_->SetParam(kA, 60);
  plug_->SetParam(kB, 60);
  std::vector<uint32_t> diffused;
  for (int i = 0; i < 40; ++i) diffused = Frame(kGreen);
  EXPECT_NE(At(diffused, 7, 2), At(first, 7, 2)) << "next to the border between quadrants 0 and 1";
}

TEST_F(Plasma, ANewNoteReseedsFromTheSourceWhichRestartsOnlyWhenAsked) {
  for (auto [options, restarts] : {std::pair{kStretch | kReset | kLooped, 2}, {kStretch | kLooped, 0}}) {
    MakeStill(options);
    NoteOn(100);
    const std::vector<uint32_t> seeded = Frame(kGreen);
    plug_->SetParam(kA, 200);
    for (int i = 0; i < 20; ++i) Frame(kGreen);
    plug_->SetParam(kA, 0);
    NoteOn(100);
    EXPECT_EQ(Frame(kGreen), seeded) << "options " << options;
    EXPECT_EQ(patternKind_.last->restarted, restarts) << "options " << options;
  }
}

TEST_F(Plasma, WithoutANoteOrAfterItsEndNothingIsDrawn) {
  MakeStill(kStretch | kErase | kLooped);
  EXPECT_EQ(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight)) << "no fields before the first note";
  NoteOn(100);
  Frame(kGreen);
  ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
  plug_->NoteOff();
  device_->EndScene();
  EXPECT_EQ(ReadBackBuffer()[0], 0xFF000000u) << "erased on note off";
  EXPECT_EQ(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight)) << "the fields went with the note";
  // A device object set made twice leaves one working set.
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  NoteOn(100);
  EXPECT_NE(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight));
}

}  // namespace
