#include "modulation/lfo.h"

#include <cmath>

#include <gtest/gtest.h>

namespace lv {
namespace {

Lfo Make(int32_t type, float phase, float scale = 1.0f, float offset = 0.0f) {
  Lfo lfo;
  lfo.type = type;
  lfo.phase = phase;
  lfo.scale = scale;
  lfo.offset = offset;
  return lfo;
}

struct WaveCase {
  int32_t type;
  float phase, scale, offset, expected;
};

TEST(Lfo, EachWaveformAtChosenPhases) {
  const WaveCase cases[] = {
      {Lfo::Saw, 0.0f, 1, 0, -1.0f},        {Lfo::Saw, 0.25f, 1, 0, -0.5f},
      {Lfo::Saw, 0.75f, 1, 0, 0.5f},        {Lfo::Saw, 0.25f, 0.5f, 3, 2.75f},
      {Lfo::ReverseSaw, 0.0f, 1, 0, 1.0f},  {Lfo::ReverseSaw, 0.75f, 1, 0, -0.5f},
      {Lfo::Triangle, 0.0f, 1, 0, -1.0f},   {Lfo::Triangle, 0.25f, 1, 0, 0.0f},
      {Lfo::Triangle, 0.5f, 1, 0, 1.0f},    {Lfo::Triangle, 0.75f, 2, 1, 1.0f},
      {Lfo::Square, 0.0f, 1, 0, -1.0f},     {Lfo::Square, 0.49f, 1, 0, -1.0f},
      {Lfo::Square, 0.5f, 1, 0, 1.0f},      {Lfo::Square, 0.75f, 0.5f, 2, 2.5f},
      {Lfo::Sine, 0.0f, 1, 0, 0.0f},        {Lfo::Sine, 0.25f, 1, 0, 1.0f},
      {Lfo::Sine, 0.75f, 2, 1, -1.0f},      {Lfo::Saw, 1.25f, 1, 0, -0.5f},  // whole cycles drop
  };
  for (const WaveCase& c : cases) {
    Lfo lfo = Make(c.type, c.phase, c.scale, c.offset);
    Lfo::Advance(lfo, 0);
    EXPECT_NEAR(lfo.output, c.expected, 1e-6f) << Lfo::TypeName(c.type) << " at phase " << c.phase;
  }
}

TEST(Lfo, AccumulatorAdvancesByRateTimesElapsedAndWraps) {
  Lfo lfo = Make(Lfo::Saw, 0.0f);
  lfo.rate = 2.0f;
  Lfo::Advance(lfo, 250);
  EXPECT_EQ(lfo.accumulator, 0.5f);
  EXPECT_EQ(lfo.output, 0.0f);
  Lfo::Advance(lfo, 250);
  EXPECT_EQ(lfo.accumulator, 0.0f);
  // A negative rate runs backwards but stays within one cycle.
  lfo.rate = -1.0f;
  Lfo::Advance(lfo, 250);
  EXPECT_FLOAT_EQ(lfo.accumulator, 0.75f);
  EXPECT_FLOAT_EQ(lfo.output, 0.5f);
}

TEST(Lfo, RandomPicksAValueOnlyWhenACycleEnds) {
  Lfo::SetRandomSeed(0);
  Lfo lfo = Make(Lfo::Random, 0.0f);
  lfo.output = 0.125f;
  Lfo::Advance(lfo, 0);
  EXPECT_EQ(lfo.output, 0.125f);
  int frame = 0;
  while (lfo.output == 0.125f && frame < 1000) {
    Lfo::Advance(lfo, 16);
    ++frame;
  }
  EXPECT_EQ(frame, 63);  // 63 × 16 ms is the first multiple past one second
  EXPECT_FLOAT_EQ(lfo.output, 38.0f * 2.0f / 32767.0f - 1.0f);
}

TEST(Lfo, SharedGeneratorFollowsItsRecurrenceFromTheSeed) {
  Lfo::SetRandomSeed(0);
  EXPECT_EQ(Lfo::NextRandom(), 38u);
  EXPECT_EQ(Lfo::NextRandom(), 7719u);
  EXPECT_EQ(Lfo::NextRandom(), 21238u);
  Lfo::SetRandomSeed(0);
  EXPECT_EQ(Lfo::NextRandom(), 38u);
}

TEST(Lfo, OwnGeneratorDrawsTheSameSequenceAndLeavesTheSharedOneAlone) {
  Lfo::SetRandomSeed(0);
  LfoRandom own(0);
  Lfo walk = Make(Lfo::Brownian, 0.0f);
  Lfo::Advance(walk, 16, own);  // one draw from `own`
  EXPECT_EQ(own.Next(), 7719u);
  EXPECT_EQ(Lfo::NextRandom(), 38u);  // the shared seed never moved

  // A random LFO on its own generator gives the same output as on the shared
  // one started from the same seed.
  Lfo::SetRandomSeed(5);
  LfoRandom fromFive(5);
  Lfo shared = Make(Lfo::SmoothRand, 1.0f), mine = shared;
  for (int i = 0; i < 20; ++i) {
    Lfo::Advance(shared, 16);
    Lfo::Advance(mine, 16, fromFive);
  }
  EXPECT_EQ(mine.output, shared.output);
  EXPECT_EQ(mine.target, shared.target);
}

TEST(Lfo, HermiteStepReachesTheTargetFlatAfterOneCycle) {
  float slope = 0.5f, value = 0.25f;
  Lfo::HermiteStep(slope, value, 1.0f, 1.0f);
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(slope, 0.0f);

  slope = 0.5f;
  value = 0.25f;
  Lfo::HermiteStep(slope, value, 1.0f, 0.5f);
  EXPECT_EQ(value, 0.6875f);  // 0.25 + 0.25 + 1.25/4 - 1/8
  EXPECT_EQ(slope, 1.0f);     // 0.5 + 1.25 - 0.75
}

TEST(Lfo, SmoothRandRetargetsByChanceSetInPhase) {
  Lfo::SetRandomSeed(0);
  Lfo always = Make(Lfo::SmoothRand, 1.0f);
  Lfo::Advance(always, 16);
  // The first draw decides, the second is the new target.
  EXPECT_FLOAT_EQ(always.target, 7719.0f * 2.0f / 32767.0f - 1.0f);
  Lfo::Advance(always, 16);
  EXPECT_FLOAT_EQ(always.target, 2437.0f * 2.0f / 32767.0f - 1.0f);

  Lfo never = Make(Lfo::SmoothRand, -0.5f);
  never.target = 0.5f;
  for (int i = 0; i < 500; ++i) Lfo::Advance(never, 16);
  EXPECT_EQ(never.target, 0.5f);
  EXPECT_NEAR(never.output, 0.5f, 1e-3f);
  EXPECT_NEAR(never.slope, 0.0f, 1e-3f);
}

TEST(Lfo, BrownianStaysWithinOffsetPlusMinusScale) {
  Lfo::SetRandomSeed(0);
  Lfo lfo = Make(Lfo::Brownian, 0.0f, 0.5f, 2.0f);
  lfo.rate = 20.0f;  // steps of up to ±2, four times the half range
  lfo.output = 2.0f;
  bool reachedTop = false, reachedBottom = false;
  for (int i = 0; i < 10000; ++i) {
    Lfo::Advance(lfo, 16);
    ASSERT_GE(lfo.output, 1.5f);
    ASSERT_LE(lfo.output, 2.5f);
    reachedTop |= lfo.output == 2.5f;
    reachedBottom |= lfo.output == 1.5f;
  }
  EXPECT_TRUE(reachedTop && reachedBottom);
}

TEST(Lfo, DefaultSpreadSetsTypeRateAndScaleOnly) {
  LfoArray lfos{};
  lfos[3].offset = 7.0f;
  lfos[3].phase = 0.25f;
  SetDefaultLfos(lfos);
  struct Row {
    int index;
    int32_t type;
    float rate, scale;
  };
  const Row rows[] = {
      {0, Lfo::Saw, 0.05f, 0.2f},        {1, Lfo::ReverseSaw, 0.1f, 0.4f},  {18, Lfo::Saw, 0.95f, 0.8f},
      {20, Lfo::Triangle, 0.05f, 0.2f},  {40, Lfo::Square, 0.5f, 0.2f},     {45, Lfo::Square, 1.5f, 0.2f},
      {64, Lfo::Sine, 0.25f, 1.0f},      {80, Lfo::Random, 1.0f, 0.2f},     {99, Lfo::Random, 20.0f, 1.0f},
  };
  for (const Row& row : rows) {
    const Lfo& lfo = lfos[static_cast<size_t>(row.index)];
    EXPECT_EQ(lfo.type, row.type) << "LFO " << row.index;
    EXPECT_FLOAT_EQ(lfo.rate, row.rate) << "LFO " << row.index;
    EXPECT_FLOAT_EQ(lfo.scale, row.scale) << "LFO " << row.index;
  }
  EXPECT_EQ(lfos[3].offset, 7.0f);
  EXPECT_EQ(lfos[3].phase, 0.25f);
  EXPECT_STREQ(Lfo::TypeName(Lfo::ReverseSaw), "Reverse Saw");
  EXPECT_EQ(Lfo::TypeName(8), nullptr);
}

}  // namespace
}  // namespace lv
