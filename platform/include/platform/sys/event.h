#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace sys {

// An auto-reset event: Set wakes one waiter, or is remembered for the next
// Wait when nobody is waiting, so a signal given just before a wait is never
// lost. A successful Wait consumes the signal.
class AutoResetEvent {
 public:
  AutoResetEvent() = default;
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  // Waits at most `timeoutMs`; true when signalled, false on time-out.
  bool Wait(uint32_t timeoutMs);

 private:
  std::mutex mutex_;
  std::condition_variable signalled_;
  bool set_ = false;
};

}  // namespace sys
