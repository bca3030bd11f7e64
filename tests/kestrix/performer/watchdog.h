#pragma once
// Ends the test program when no progress is reported for a while: threads
// stuck on each other's locks cannot be failed any other way, and a deadlock
// then fails in seconds instead of holding up the suite.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

class Watchdog {
 public:
  explicit Watchdog(std::chrono::milliseconds limit) : limit_(limit), thread_([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      finished_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Progress(const char* where) {
    std::lock_guard lock(mutex_);
    where_ = where;
    ++steps_;
    wake_.notify_all();
  }

 private:
  void Watch() {
    std::unique_lock lock(mutex_);
    while (!finished_) {
      const long steps = steps_;
      if (!wake_.wait_for(lock, limit_, [&] { return finished_ || steps_ != steps; })) {
        std::fprintf(stderr, "Deadlock: no progress for %lld ms after \"%s\" (%ld steps)\n",
                     static_cast<long long>(limit_.count()), where_, steps_);
        std::fflush(stderr);
        std::_Exit(1);
      }
    }
  }

  const std::chrono::milliseconds limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool finished_ = false;
  long steps_ = 0;
  const char* where_ = "start";
  std::thread thread_;
};
