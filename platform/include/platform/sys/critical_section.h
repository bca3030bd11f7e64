#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <mutex>

namespace sys {

// A lock that its owning thread may enter again, as a pass that switches banks
// from inside itself must. Usable with std::lock_guard / std::unique_lock.
class CriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }
  void lock() { mutex_.lock(); }
  void unlock() { mutex_.unlock(); }
  bool try_lock() { return mutex_.try_lock(); }
  // Enters when the lock comes free within `ms`; false (not entered) otherwise.
  bool TryEnterFor(uint32_t ms) {
    // Waited for in slices against the system clock, whose timed wait the
    // thread checkers see, while the steady clock measures the whole wait, so
    // a clock change cannot stretch it.
    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(ms);
    for (;;) {
      const auto left = duration_cast<milliseconds>(end - steady_clock::now());
      if (left <= milliseconds(0)) return mutex_.try_lock();
      if (mutex_.try_lock_until(system_clock::now() + std::min(left, milliseconds(50)))) return true;
    }
  }

 private:
  std::recursive_timed_mutex mutex_;
};

using CriticalSectionLock = std::lock_guard<CriticalSection>;

}  // namespace sys
