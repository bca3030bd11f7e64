#include "platform/sys/thread.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

namespace sys {
namespace {

// Linux gives each thread its own nice value; lowering it needs privileges,
// and without them the thread simply runs at normal priority.
void RaiseCurrentThreadPriority() {
  auto tid = static_cast<id_t>(syscall(SYS_gettid));
  errno = 0;
  int nice = getpriority(PRIO_PROCESS, tid);
  if (errno == 0) setpriority(PRIO_PROCESS, tid, nice - 1);
}

}  // namespace

Thread::~Thread() {
  if (!thread_.joinable()) return;
  if (!Join(0)) thread_.detach();
}

bool Thread::Start(std::function<void()> body, ThreadPriority priority) {
  if (thread_.joinable()) return false;
  auto completion = std::make_shared<Completion>();
  try {
    thread_ = std::thread([completion, body = std::move(body), priority] {
      if (priority == ThreadPriority::AboveNormal) RaiseCurrentThreadPriority();
      body();
      {
        std::lock_guard lock(completion->mutex);
        completion->finished = true;
      }
      completion->ended.notify_all();
    });
  } catch (const std::system_error&) {
    return false;
  }
  completion_ = std::move(completion);
  return true;
}

bool Thread::Join(uint32_t timeoutMs) {
  if (!thread_.joinable()) return true;
  {
    std::unique_lock lock(completion_->mutex);
    if (!completion_->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [this] { return completion_->finished; }))
      return false;
  }
  thread_.join();
  return true;
}

}  // namespace sys
