// Tunnel and Wormhole Source on a real device.
#include "render_fixture.h"

namespace {

using Tube = SquarePatternRender;

constexpr uint32_t kGreen = 0xFF00FF00;  // never a colour of the pattern
constexpr uint32_t kLooped = 8, kSustain = 64, kVelocityActive = 128, kBeatSyncLoop = 256, kBeatSyncEffect = 512;

TEST_F(Tube, TunnelWallsFillTheViewAndAlphaBlendsThemOverTheTarget) {
  Make("Tunnel Source", kLooped);
  NoteOn(100);
  EXPECT_EQ(CountOf(Frame(kGreen), kGreen), 0) << "the tunnel's mouth is wider than the view";
  plug_->SetParam(5, 0);  // Alpha
  EXPECT_EQ(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight));
  // The frame loop gets its states back.
  EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
  EXPECT_EQ(SamplerState(gfx::SamplerState::AddressU), uint32_t(gfx::Address::Clamp));
  EXPECT_EQ(SamplerState(gfx::SamplerState::AddressV), uint32_t(gfx::Address::Clamp));
}

TEST_F(Tube, TunnelMovesOnlyAwayFromTheMiddleVelocity) {
  const struct {
    uint32_t options;
    int32_t velocityParam;
    uint8_t noteVelocity;
    bool moves;
  } cases[] = {
      {kLooped, 64, 127, false},                  // w = 0 from the parameter
      {kLooped, 127, 64, true},                   // forward
      {kLooped, 0, 64, true},                     // backward
      {kLooped | kVelocityActive, 127, 64, false},  // the note's velocity counts
      {kLooped | kVelocityActive, 64, 1, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "options " << c.options << " Velocity " << c.velocityParam << " note "
                                    << int(c.noteVelocity));
    Make("Tunnel Source", c.options);
    plug_->SetParam(6, c.velocityParam);
    NoteOn(c.noteVelocity);
    const std::vector<uint32_t> first = Frame(kGreen, 100);
    const std::vector<uint32_t> later = Frame(kGreen, 100);
    EXPECT_EQ(first != later, c.moves);
  }
}

TEST_F(Tube, WormholeShowsItsThroatFromEveryViewAndScrollsOnlyWithVelocityActive) {
  for (int32_t view : {0, 50, 100}) {
    Make("Wormhole Source", kLooped);
    plug_->SetParam(5, view);
    NoteOn(127);
    const std::vector<uint32_t> first = Frame(kGreen, 100);
    EXPECT_NE(first[(kHeight / 2) * kWidth + kWidth / 2], kGreen) << "View " << view;
    EXPECT_EQ(first, Frame(kGreen, 100)) << "a fixed offset without Velocity Active";
  }
  Make("Wormhole Source", kLooped | kVelocityActive);
  NoteOn(127);
  const std::vector<uint32_t> first = Frame(kGreen, 100);
  EXPECT_NE(first, Frame(kGreen, 100));
}

TEST_F(Tube, BeatSyncRestartsTheSourceOnEveryBeatSinceTheNote) {
  for (const char* kind : {"Tunnel Source", "Wormhole Source"}) {
    SCOPED_TRACE(kind);
    steered_.midiClock = 1000;  // the clock runs on from before the note
    Make(kind, kLooped | kBeatSyncLoop);
    NoteOn(100);
    pattern::PatternSource& source = *patternKind_.last;
    const struct {
      uint32_t pulsesSinceNote;
      int restarts;
    } steps[] = {{0, 0}, {23, 0}, {24, 1}, {30, 1}, {47, 1}, {72, 2}, {72, 2}, {96, 3}};
    for (const auto& s : steps) {
      steered_.midiClock = 1000 + s.pulsesSinceNote;
      Frame(kGreen);
      EXPECT_EQ(source.restarted, s.restarts) << "pulse " << s.pulsesSinceNote;
    }
  }
}

TEST_F(Tube, BeatSyncEffectRestartsTheMotionNotTheSource) {
  Make("Tunnel Source", kLooped | kBeatSyncEffect);
  plug_->SetParam(6, 127);
  NoteOn(100);
  const std::vector<uint32_t> start = Frame(kGreen, 0);
  Frame(kGreen, 100);
  steered_.midiClock = 24;
  const std::vector<uint32_t> onTheBeat = Frame(kGreen, 0);
  EXPECT_EQ(onTheBeat, start) << "the scroll starts again on the beat";
  EXPECT_EQ(patternKind_.last->restarted, 0);
}

TEST_F(Tube, WithoutAClockBeatSyncNeverFires) {
  Make("Wormhole Source", kLooped | kBeatSyncLoop);
  NoteOn(100);
  for (int i = 0; i < 5; ++i) Frame(kGreen);
  EXPECT_EQ(patternKind_.last->restarted, 0);
}

TEST_F(Tube, ASustainedNoteOverAnImageEndsAtTheFirstFrame) {
  Make("Tunnel Source", kLooped | kSustain);
  NoteOn(100);
  EXPECT_TRUE(plug_->KeepAfterNoteOff());
  Frame(kGreen);
  EXPECT_FALSE(plug_->KeepAfterNoteOff()) << "the pattern cannot carry a held note";
}

TEST_F(Tube, EveryAllowedSubdivisionDraws) {
  for (int32_t n : {4, 5, 33, 101}) {
    Make("Wormhole Source", kLooped, {{"SUBD", U32(uint32_t(n))}});
    NoteOn(100);
    EXPECT_NE(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight)) << "Wormhole " << n;
    Make("Tunnel Source", kLooped, {{"SUBD", U32(uint32_t(n))}});
    NoteOn(100);
    // Four vertices a ring make a triangular tunnel, whose corners show.
    EXPECT_LT(CountOf(Frame(kGreen), kGreen), int(kWidth * kHeight) / 4) << "Tunnel " << n;
  }
}

}  // namespace
