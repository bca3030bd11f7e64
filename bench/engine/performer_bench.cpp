// Throughput and latency of the Performer's MIDI path, and the cost of the
// per-frame note walk.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "lv/plug.h"
#include "modulation/lfo.h"
#include "performance/performance.h"
#include "performer/capture_file.h"
#include "performer/performer.h"
#include "platform/sys/clock.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// A plug-in that draws nothing; it can note when its last NoteOn came.
class NullPlug : public lv::Plug {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kId; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override { return true; }
  void ReleaseDeviceObjects() override {}
  bool Configure(lv::WindowHandle) override { return true; }
  void NoteOn() override { lastNoteOn.store(SteadyClock::now().time_since_epoch().count()); }
  void NoteOff() override {}
  void Render(uint32_t) override {}
  bool KeepAfterNoteOff() override { return false; }
  bool Load(lv::ChunkStream*) override { return true; }
  bool Save(lv::ChunkStream*) override { return true; }
  int32_t GetNumParams() override { return 0; }
  bool IsParamEnabled(int32_t) override { return false; }
  const lv::ParamInfo* GetParamInfo(int32_t) override { return nullptr; }
  int32_t GetParam(int32_t) override { return 0; }
  void SetParam(int32_t, int32_t) override {}

  std::atomic<SteadyClock::rep> lastNoteOn{0};

 private:
  static constexpr lv::ClassId kId{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
};

// A performance whose bank 0 holds a null plug-in on every note, played on channel 0.
lv::Performance* NullPerformance(std::vector<NullPlug*>& plugs) {
  auto* performance = new lv::Performance;
  lv::Bank* bank = performance->CreateBank(0);
  performance->SelectBank(0);
  for (lv::NoteSlot& slot : bank->slots) {
    auto plug = std::make_unique<NullPlug>();
    plugs.push_back(plug.get());
    slot.patch = std::move(plug);
  }
  return performance;
}

void Connect(lv::Performer& performer, lv::Performance* performance, lv::PerformerState state) {
  performer.SetPerformance(performance);
  performer.SetChannelMask(0x0001);
  performer.SetState(state);
}

// Events per second from PushMidi to their dispatch on the render thread.
void BM_PushMidiToDispatch(benchmark::State& state) {
  std::vector<NullPlug*> plugs;
  lv::Performer performer;
  Connect(performer, NullPerformance(plugs), lv::Halted);
  performer.Start();
  constexpr int kBatch = 10000;
  uint32_t expected = 0;
  for (auto _ : state) {
    for (int i = 0; i < kBatch; ++i) performer.PushMidi({0xF8, 0});
    expected += kBatch;
    while (performer.Controllers().Clock() != expected) std::this_thread::yield();
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
  performer.Stop();
}
BENCHMARK(BM_PushMidiToDispatch)->Unit(benchmark::kMillisecond)->UseRealTime();

// A recording that keeps nothing: the events still go through the ring lock.
class DiscardingCapture : public lv::CaptureFile {
 public:
  void WriteEvent(const lv::MidiEvent&) override {}
  void WriteSpectrum(const float*) override {}
  bool Feed(lv::Performer&, uint32_t) override { return false; }
};

// From PushMidi to the patch's NoteOn in each state that plays notes, the
// push landing anywhere in the pass: live and recording go straight on and
// pause 3 ms after each present; full screen also waits on the event when a
// pass comes early, and MIDI ends that wait. "over_pause_us" is what the
// 99th percentile adds to the pause itself (frame lock, event, ring).
void BM_PushMidiToNoteOnLatency(benchmark::State& state) {
  const auto performerState = static_cast<lv::PerformerState>(state.range(0));
  std::vector<NullPlug*> plugs;
  lv::Performer performer;
  Connect(performer, NullPerformance(plugs), lv::Live);
  if (performerState == lv::Recording) {
    if (!performer.StartRecording(std::make_unique<DiscardingCapture>())) {
      state.SkipWithError("no recording");
      return;
    }
  } else {
    performer.SetState(performerState);
  }
  performer.Start();
  NullPlug* plug = plugs[60];
  std::mt19937 random(1);
  std::uniform_int_distribution<int> pause(0, 16'000);
  std::vector<double> latencies;
  for (auto _ : state) {
    state.PauseTiming();
    // Land anywhere in the pacing wait or the pause.
    std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
    const auto before = plug->lastNoteOn.load();
    state.ResumeTiming();
    const auto pushed = SteadyClock::now();
    performer.PushMidi({0x00643C90, sys::TimeMs()});
    while (plug->lastNoteOn.load() == before) std::this_thread::yield();
    const SteadyClock::duration latency{plug->lastNoteOn.load() - pushed.time_since_epoch().count()};
    latencies.push_back(std::chrono::duration<double, std::micro>(latency).count());
  }
  performer.Stop();
  std::sort(latencies.begin(), latencies.end());
  if (!latencies.empty()) {
    const double p99 = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = p99;
    state.counters["max_us"] = latencies.back();
    state.counters["over_pause_us"] = p99 - 3000.0;
  }
}
BENCHMARK(BM_PushMidiToNoteOnLatency)
    ->ArgName("state")
    ->Arg(lv::Live)
    ->Arg(lv::FullScreen)
    ->Arg(lv::Recording)
    ->Iterations(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// The per-frame walk of one pass: 100 running LFOs and 128 playing notes of
// a null plug-in (the pass's pacing, scene and present are not included).
void BM_PassWith128NotesAnd100Lfos(benchmark::State& state) {
  std::vector<NullPlug*> plugs;
  lv::Performer performer;
  Connect(performer, NullPerformance(plugs), lv::Live);
  lv::SetDefaultLfos();
  for (uint32_t note = 0; note < 128; ++note) performer.NoteOn(0, 0x90 | note << 8 | 100u << 16);
  if (performer.ActiveNoteCount() != 128) state.SkipWithError("notes did not start");
  sys::Sleep(16);
  performer.RunPass();  // sets a real frame time for the LFOs and bindings
  for (auto _ : state) performer.RenderFrame();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PassWith128NotesAnd100Lfos)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
