// The LFO preview: its five-second curve, resampling on request and the dot.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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

TEST(LfoPreview, RandomCurvesRepeatWhileTheLiveLfosAdvance) {
  // The live table draws from its generator on another thread, as the render
  // thread does every frame; the preview's curves must not move with it.
  lv::LfoArray live{};
  for (lv::Lfo& lfo : live) lfo.type = lv::Lfo::Random;
  std::atomic<bool> running{true};
  std::atomic<int> passes{0};
  std::thread render([&] {
    while (running.load()) {
      for (lv::Lfo& lfo : live) lv::Lfo::Advance(lfo, 16);
      passes.fetch_add(1);
    }
  });

  for (const int type : {lv::Lfo::Random, lv::Lfo::SmoothRand, lv::Lfo::Brownian}) {
    ui::LfoPreview preview;
    lv::Lfo lfo;
    lfo.type = type;
    lfo.rate = 7.0f;
    lfo.phase = 0.1f;
    preview.SetSource(&lfo);
    const auto first = preview.Samples();
    for (int i = 0; i < 20; ++i) {
      const int seen = passes.load();
      while (passes.load() == seen) std::this_thread::yield();  // the live LFOs drew meanwhile
      preview.Resample();
      ASSERT_EQ(preview.Samples(), first) << lv::Lfo::TypeName(type) << ", resampling " << i;
    }
  }
  running.store(false);
  render.join();
}

}  // namespace
