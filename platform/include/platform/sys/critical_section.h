#pragma once
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

 private:
  std::recursive_mutex mutex_;
};

using CriticalSectionLock = std::lock_guard<CriticalSection>;

}  // namespace sys
