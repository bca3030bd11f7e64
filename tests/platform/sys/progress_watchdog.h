#pragma once
// For tests whose threads could deadlock: the test thread waits out a run
// while a counter the other threads advance keeps moving. When it stands
// still far longer than any step takes, the threads are stuck for good and
// cannot be joined, so the process ends with the reason: a deadlock fails
// the test within seconds and never hangs the suite.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace lvtest {

// Far longer than a step takes, even under ThreadSanitizer on a busy machine.
inline constexpr std::chrono::seconds kStalledAfter{10};

// Returns once `runFor` has passed and `done()` holds (or a minute has
// passed, for the test's own checks to fail); ends the process when
// `progress` stands still for kStalledAfter.
template <typename Done>
void WatchProgress(const std::atomic<uint32_t>& progress, std::chrono::milliseconds runFor, Done done,
                   const char* what) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  Clock::time_point moved = start;
  uint32_t last = progress.load();
  while (Clock::now() - start < runFor || (!done() && Clock::now() - start < std::chrono::minutes(1))) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (const uint32_t now = progress.load(); now != last) {
      last = now;
      moved = Clock::now();
    } else if (Clock::now() - moved > kStalledAfter) {
      std::fprintf(stderr, "WATCHDOG: no %s for %lld s: the threads are deadlocked\n", what,
                   static_cast<long long>(kStalledAfter.count()));
      std::fflush(stderr);
      std::abort();
    }
  }
}

}  // namespace lvtest
