// From a note pushed at a random moment of the frame to the first presented
// frame that shows it: the Performer's own thread runs the live loop, each
// present blocks until the next tick of a 60 Hz clock (as a present paced
// by one retrace does), and its read-back is looked at. The patch is the
// built-in Color Fill in red, which erases to black at note off.
//
// Counters: median_frames and p99_frames (in 60 Hz frames), with the
// milliseconds behind them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "live_rig.h"
#include "plugins/color_fill.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kRetrace = std::chrono::nanoseconds(16'666'667);
constexpr uint8_t kNote = 60;

// The presents as a 60 Hz display shows them.
class PacedScreen {
 public:
  void Present(const gfx::PresentImage& image) {
    const uint8_t* centre =
        image.pixels + static_cast<size_t>(image.height / 2) * image.pitch + static_cast<size_t>(image.width / 2) * 4;
    lit_.store(std::max({centre[0], centre[1], centre[2]}) > 200);
    ++presents_;
    // Waits for the next retrace, as a paced present does.
    const auto ticks = (Clock::now() - epoch_) / kRetrace + 1;
    std::this_thread::sleep_until(epoch_ + ticks * kRetrace);
    if (lit_.load() && litAt_.load() == Clock::time_point{}) litAt_.store(Clock::now());
  }
  bool Lit() const { return lit_.load(); }
  // When the first lit frame was shown since the last Reset.
  Clock::time_point LitAt() const { return litAt_.load(); }
  void Reset() { litAt_.store(Clock::time_point{}); }
  void WaitForPresents(int count) {
    const int target = presents_.load() + count;
    while (presents_.load() < target) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

 private:
  const Clock::time_point epoch_ = Clock::now();
  std::atomic<bool> lit_{false};
  std::atomic<int> presents_{0};
  std::atomic<Clock::time_point> litAt_{};
};

void NoteOnToPresentedFrame(benchmark::State& state) {
  PacedScreen screen;
  bench::LiveRig rig(640, 480, [&screen](const gfx::PresentImage& image) { screen.Present(image); });
  if (!rig.Error().empty()) {
    state.SkipWithError(rig.Error().c_str());
    return;
  }
  if (!rig.Assign(kNote, builtin::ColorFill::kName, "")) {
    state.SkipWithError("no Color Fill");
    return;
  }
  static_cast<builtin::ColorFill*>(rig.Patch(kNote))->SetColorWord(0xFF0000FF);  // opaque red
  rig.Connect(lv::Live);
  lv::Performer& performer = rig.Performer();
  if (!performer.Start()) {
    state.SkipWithError("no render thread");
    return;
  }
  std::mt19937 random(7);
  std::uniform_int_distribution<int> phase(0, 16'666);
  std::vector<double> latencies;
  for (auto _ : state) {
    state.PauseTiming();
    performer.PushMidi({0x00000080u | uint32_t(kNote) << 8, 0});  // note off: the fill erases
    while (screen.Lit()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    screen.WaitForPresents(1);
    std::this_thread::sleep_for(std::chrono::microseconds(phase(random)));
    screen.Reset();
    state.ResumeTiming();
    const auto pushed = Clock::now();
    performer.PushMidi({0x00640090u | uint32_t(kNote) << 8, 0});
    while (screen.LitAt() == Clock::time_point{}) std::this_thread::sleep_for(std::chrono::microseconds(200));
    latencies.push_back(std::chrono::duration<double, std::milli>(screen.LitAt() - pushed).count());
  }
  performer.Stop();
  if (latencies.empty()) return;
  std::sort(latencies.begin(), latencies.end());
  const double median = latencies[latencies.size() / 2];
  const double p99 = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
  const double frameMs = 1000.0 / 60.0;
  state.counters["median_ms"] = median;
  state.counters["p99_ms"] = p99;
  state.counters["median_frames"] = median / frameMs;
  state.counters["p99_frames"] = p99 / frameMs;
}
BENCHMARK(NoteOnToPresentedFrame)->Iterations(200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
