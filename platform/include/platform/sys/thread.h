#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace sys {

enum class ThreadPriority { Normal, AboveNormal };

// A thread that can be waited for with a bound. A thread that is still running
// when its Thread object goes away is left to run (detached): the owner decided
// not to wait for it any longer.
class Thread {
 public:
  Thread() = default;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  ~Thread();

  // Starts `body` on a new thread; false when one is already running or the
  // system refused. AboveNormal is applied where the process may raise its
  // threads' priority and silently skipped where it may not.
  bool Start(std::function<void()> body, ThreadPriority priority = ThreadPriority::Normal);

  // Waits at most `timeoutMs` for the thread to end; true when it has ended
  // (or none was started).
  bool Join(uint32_t timeoutMs);

  bool Started() const { return thread_.joinable(); }
  std::thread::id Id() const { return thread_.get_id(); }

 private:
  // Shared with the running thread, so a detached thread can still mark its
  // end after the Thread object is gone.
  struct Completion {
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
  };
  std::thread thread_;
  std::shared_ptr<Completion> completion_;
};

}  // namespace sys
