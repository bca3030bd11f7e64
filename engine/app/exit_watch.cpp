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

void ExitWatch::Watch() {
  std::unique_lock lock(mutex_);
  while (!wake_.wait_for(lock, kLookEvery, [this] { return stopping_; })) {
    const int64_t now = NowMs();
    const int64_t armedAt = armedAtMs_.load();
    const bool unanswered = terminate_.load() && now - lastBeatMs_.load() >= boundMs_;
    if (unanswered || (armedAt != kNever && now - armedAt >= boundMs_)) {
      exit_();
      return;
    }
  }
}

}  // namespace lv
