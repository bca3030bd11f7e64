// Display Spectrum on a real device, fed a spectrum set by the test.
#include "render_fixture.h"

namespace {

constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kEraseOnNoteOff = 1, kReset = 2, kClearFrame = 4, kClearDepth = 8;
constexpr uint32_t kSilentColour = 0xFF404080;  // (0.25, 0.25, 0.5)
constexpr uint32_t kLoudColour = 0xFFFF0000;    // beyond the last ramp, clamped to red
enum { kSpin, kTilt, kDist, kHeightGain, kColorGain, kAlpha };

class Spectrum : public SquarePatternRender {
 protected:
  // Without a source: the landscape runs alone.
  void MakeAlone(uint32_t options) {
    plug_ = library_->Create("Display Spectrum");
    ASSERT_NE(plug_, nullptr);
    plug_->host = &steered_;
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(options)}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
    plug_->SetParam(kHeightGain, 0);  // flat, so only the colours tell the values
  }
  // Every column reads 1 or more: 0.05 times each group's width and gain.
  void Loud() { std::fill(steered_.spectrum.begin(), steered_.spectrum.end(), 0.05f); }
  void Silent() { std::fill(steered_.spectrum.begin(), steered_.spectrum.end(), 0.0f); }
  uint32_t Middle(const std::vector<uint32_t>& pixels) { return pixels[(kHeight / 2) * kWidth + kWidth / 2]; }
};

TEST_F(Spectrum, NewRowsEnterAtTheFrontAndScrollBack) {
  MakeAlone(0);
  NoteOn(100);
  EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), kSilentColour, 2)) << "silence is flat blue-grey";
  Loud();
  EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), kSilentColour, 2)) << "one loud row is at the front only";
  for (int i = 0; i < 63; ++i) Frame(kGreen);
  EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), kLoudColour, 2)) << "the loud rows fill the history";
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
}

TEST_F(Spectrum, ResetPlaybackEachNoteClearsTheHistory) {
  for (auto [options, colour] : {std::pair{kReset, kSilentColour}, {0u, kLoudColour}}) {
    MakeAlone(options);
    Loud();
    for (int i = 0; i < 64; ++i) Frame(kGreen);
    Silent();
    NoteOn(100);
    EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), colour, 2)) << "options " << options;
  }
}

TEST_F(Spectrum, ClearingUsesTransparentBlackAndAlphaBlendsBelowFull) {
  const struct {
    uint32_t options;
    int32_t alpha;
    uint32_t middle;
  } cases[] = {
      {0, 0, kGreen},
      {kClearFrame | kClearDepth, 0, 0x00000000},
      {kClearFrame, 255, kSilentColour},
      {0, 128, 0xFF20A040},  // half the landscape's blue-grey over half the green
  };
  for (const auto& c : cases) {
    MakeAlone(c.options);
    plug_->SetParam(kAlpha, c.alpha);
    NoteOn(100);
    const uint32_t middle = Middle(Frame(kGreen));
    EXPECT_TRUE(gfx::test::ColorNear(middle & 0x00FFFFFF, c.middle & 0x00FFFFFF, 2))
        << "options " << c.options << " Alpha " << c.alpha << " middle " << std::hex << middle;
    EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u) << "blending off afterwards";
  }
}

TEST_F(Spectrum, ANamedSourcePlaysAlongWithoutColouringTheLandscape) {
  Make("Display Spectrum", kEraseOnNoteOff | kClearFrame | kClearDepth);
  plug_->SetParam(kHeightGain, 0);
  NoteOn(100);
  EXPECT_EQ(patternKind_.last->looped, 1) << "always looped";
  EXPECT_EQ(patternKind_.last->attachedWith, 100);
  EXPECT_TRUE(gfx::test::ColorNear(Middle(Frame(kGreen)), kSilentColour, 2));
  ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
  plug_->NoteOff();
  device_->EndScene();
  EXPECT_EQ(ReadBackBuffer()[0], 0xFF000000u);
  EXPECT_EQ(patternKind_.last->detached, 1);
}

}  // namespace
