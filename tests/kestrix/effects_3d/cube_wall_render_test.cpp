// Cube Wall Source on a real device.
#include "render_fixture.h"

namespace {

class CubeWall : public SquarePatternRender {
 protected:
  uint32_t Middle(const std::vector<uint32_t>& pixels) { return pixels[(kHeight / 2) * kWidth + kWidth / 2]; }
};

constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kLooped = 4, kProject = 32, kClearFrame = 64, kAudio = 128;
enum { kDepth, kRotate, kTilt, kSaturate, kAlpha };

struct Probe {
  int x, y, quadrant;
};
constexpr Probe kProbes[] = {{4, 3, 0}, {11, 3, 1}, {4, 8, 2}, {11, 8, 3}};

// Depth 0 brings the centre cube so close that its front face fills the
// middle of the view; velocity 64 holds the swirl still.
void CloseUp(lv::Plug& plug) { plug.SetParam(kDepth, 0); }

TEST_F(CubeWall, TheCentreCubeFacesTheEyeInThePlainColour) {
  Make("Cube Wall Source", kLooped);
  CloseUp(*plug_);
  NoteOn(64);
  EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), 0xFFFFFFFF, 2));
  plug_->SetParam(kAlpha, 0);
  EXPECT_EQ(Middle(Frame(kGreen)), kGreen);
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(CubeWall, TheSourceIsProjectedFromTheScreenOntoTheWall) {
  Make("Cube Wall Source", kLooped | kProject);
  CloseUp(*plug_);
  NoteOn(64);
  const std::vector<uint32_t> pixels = Frame(kGreen);
  for (const Probe& p : kProbes) {
    EXPECT_TRUE(gfx::test::ColorNear(pixels[size_t(p.y) * kWidth + p.x], pattern::kQuadrants[p.quadrant], 3))
        << "quadrant " << p.quadrant;
  }
}

TEST_F(CubeWall, TheSwirlStandsStillOnlyAtTheMiddleVelocity) {
  for (auto [velocity, moves] : {std::pair{uint8_t(64), false}, {uint8_t(127), true}, {uint8_t(1), true}}) {
    Make("Cube Wall Source", kLooped | kClearFrame);
    plug_->SetParam(kDepth, 200);
    NoteOn(velocity);
    const std::vector<uint32_t> first = Frame(kGreen, 500);
    EXPECT_EQ(first != Frame(kGreen, 500), moves) << "velocity " << int(velocity);
    EXPECT_EQ(CountOf(first, kGreen), 0) << "the frame is cleared to transparent black first";
  }
}

TEST_F(CubeWall, AudioColoursTheCubesOnlyWithSaturation) {
  // Only bin 16, which drives the saturation: the cubes near the centre
  // keep their size (bin 16 belongs to the band of ring 7).
  steered_.spectrum[16] = 0.01f;
  for (auto [saturate, white] : {std::pair{0, true}, {255, false}}) {
    Make("Cube Wall Source", kLooped | kAudio);
    CloseUp(*plug_);
    plug_->SetParam(kSaturate, saturate);
    NoteOn(64);
    const uint32_t middle = Middle(Frame(kGreen));
    EXPECT_EQ(gfx::test::ColorNear(middle, 0xFFFFFFFF, 2), white) << "Saturate " << saturate << std::hex << " " << middle;
  }
}

TEST_F(CubeWall, WithoutProjectionNoSourceIsOpened) {
  plug_ = library_->Create("Cube Wall Source");
  plug_->host = &steered_;
  ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(kLooped)}})));
  ASSERT_TRUE(plug_->CreateDeviceObjects());
  EXPECT_EQ(patternKind_.last, nullptr);
  NoteOn(64);
  Frame(kGreen);
  plug_->NoteOff();
  ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(kLooped | kProject)}})));
  EXPECT_FALSE(plug_->CreateDeviceObjects()) << "projection needs a source";
}

}  // namespace
