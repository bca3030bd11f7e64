#include "platform/sys/event.h"

#include <chrono>

namespace sys {

void AutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    set_ = true;
  }
  signalled_.notify_one();
}

bool AutoResetEvent::Wait(uint32_t timeoutMs) {
  std::unique_lock lock(mutex_);
  if (!signalled_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return set_; })) return false;
  set_ = false;
  return true;
}

}  // namespace sys
