// What the MIDI input's hand-over adds between the driver's callback and the
// Performer: from Receive on a stand-in driver thread to the handler's call on
// the delivery thread (the wake-up of that thread included).
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/midi/message_handover.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

void BM_HandoverToHandler(benchmark::State& state) {
  std::atomic<SteadyClock::rep> delivered{0};
  midi::MessageHandover handover(
      [&](uint32_t, uint32_t) { delivered.store(SteadyClock::now().time_since_epoch().count()); });
  handover.Start();
  std::vector<double> latencies;
  const unsigned char noteOn[3] = {0x90, 60, 100};
  for (auto _ : state) {
    state.PauseTiming();
    // Let the delivery thread fall asleep, as it does between notes.
    std::this_thread::sleep_for(std::chrono::microseconds(500));
    const auto before = delivered.load();
    state.ResumeTiming();
    const auto received = SteadyClock::now();
    handover.Receive(noteOn, 3);
    while (delivered.load() == before) std::this_thread::yield();
    latencies.push_back(
        std::chrono::duration<double, std::micro>(SteadyClock::duration(delivered.load()) - received.time_since_epoch())
            .count());
  }
  handover.Stop();
  std::sort(latencies.begin(), latencies.end());
  if (!latencies.empty()) {
    state.counters["median_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    state.counters["max_us"] = latencies.back();
  }
}
BENCHMARK(BM_HandoverToHandler)->Iterations(2000)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
