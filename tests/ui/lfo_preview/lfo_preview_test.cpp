// The LFO preview: its five-second curve, resampling on request and the dot.
#include <gtest/gtest.h>

#include "lfo_preview/lfo_preview.h"

namespace {

int RisingEdges(const std::array<float, ui::LfoPreview::kSamples>& samples) {
  int edges = 0;
  for (size_t i = 1; i < samples.size(); ++i) edges += samples[i] > samples[i - 1] + 0.5f ? 1 : 0;
  return edges;
}

TEST(LfoPreview, SquareAtOneHertzShowsFivePeriods) {
  ui::LfoPreview preview;
  preview.resize(200, 60);
  lv::Lfo lfo;
  lfo.type = lv::Lfo::Square;
  preview.SetSource(&lfo);
  EXPECT_TRUE(preview.TimerRunning());
  const int edges = RisingEdges(preview.Samples());
  EXPECT_GE(edges, 4);
  EXPECT_LE(edges, 5);
  EXPECT_NE(preview.Samples().back(), 0.0f);  // the last sample is written too
}

TEST(LfoPreview, CurveChangesOnlyWhenResampled) {
  ui::LfoPreview preview;
  lv::Lfo lfo;
  lfo.type = lv::Lfo::Saw;
  preview.SetSource(&lfo);
  const auto before = preview.Samples();
  lfo.rate = 3.0f;
  EXPECT_EQ(preview.Samples(), before);
  preview.Resample();
  EXPECT_NE(preview.Samples(), before);
}

TEST(LfoPreview, RandomCurveRepeatsAndNoSourceKeepsIt) {
  ui::LfoPreview preview;
  lv::Lfo lfo;
  lfo.type = lv::Lfo::Random;
  lfo.rate = 4.0f;
  preview.SetSource(&lfo);
  const auto first = preview.Samples();
  preview.Resample();
  EXPECT_EQ(preview.Samples(), first);
  preview.Tick();
  EXPECT_EQ(preview.TimeMs(), 25);
  preview.SetSource(nullptr);
  EXPECT_FALSE(preview.TimerRunning());
  EXPECT_EQ(preview.TimeMs(), 0);
  EXPECT_EQ(preview.Samples(), first);
}

}  // namespace
