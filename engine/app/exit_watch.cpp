#include "app/exit_watch.h"

#include <chrono>
#include <cstdlib>

#include "platform/sys/log.h"

namespace lv {
namespace {

constexpr std::chrono::milliseconds kLookEvery{50};

}  // namespace

void ExitWatch::EndProcess() {
  // What a stuck thread holds is not released: its destructors would wait for
  // it or pull objects from under it. The log is flushed line by line.
  sys::Log("The program did not end in time: ending the process");
  std::_Exit(EXIT_FAILURE);
}

int64_t ExitWatch::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

ExitWatch::ExitWatch(uint32_t boundMs, Exit exit)
    : boundMs_(boundMs), exit_(std::move(exit)), lastBeatMs_(NowMs()), thread_([this] { Watch(); }) {}

ExitWatch::~ExitWatch() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

void ExitWatch::Arm() {
  int64_t never = kNever;
  armedAtMs_.compare_exchange_strong(never, NowMs());
}

void ExitWatch::Beat() { lastBeatMs_.store(NowMs()); }

ExitWatch::Hold::Hold(ExitWatch* watch) : watch_(watch) {
  if (watch_ == nullptr) return;
  // Under the watch's lock: it never ends the process just as a save begins.
  std::lock_guard lock(watch_->mutex_);
  watch_->holds_.fetch_add(1);
}

ExitWatch::Hold::~Hold() {
  if (watch_ == nullptr) return;
  // The bounds restart before the hold ends, so the watch never sees a
  // released hold with the time it lasted still counted. A request still
  // unanswered stays so: the user interface has the whole bound to answer.
  const int64_t now = NowMs();
  int64_t armedAt = watch_->armedAtMs_.load();
  if (armedAt != kNever) watch_->armedAtMs_.compare_exchange_strong(armedAt, now);
  int64_t terminateAt = watch_->terminateAtMs_.load();
  if (terminateAt != kNever && watch_->lastBeatMs_.load() <= terminateAt)
    watch_->terminateAtMs_.compare_exchange_strong(terminateAt, now);
  watch_->holds_.fetch_sub(1);
}

void ExitWatch::Watch() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kLookEvery, [this] { return stopping_; })) {
    if (holds_.load() > 0) continue;
    const int64_t now = NowMs();
    const int64_t armedAt = armedAtMs_.load();
    // Answered by a beat after the request (one in the same millisecond may
    // have come just before it).
    const int64_t terminateAt = terminateAtMs_.load();
    const bool unanswered =
        terminateAt != kNever && lastBeatMs_.load() <= terminateAt && now - terminateAt >= boundMs_;
    if (unanswered || (armedAt != kNever && now - armedAt >= boundMs_)) {
      exit_();
      return;
    }
  }
}

}  // namespace lv
