#pragma once
// Bounds the program's end. A render thread stuck inside a pass keeps the
// frame lock and the device, which the steps of shutdown and the destructors
// after it would wait for without end. Once the end is asked for, the watch
// ends the process when it has not ended by itself within the bound.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace lv {

class ExitWatch {
 public:
  // Ends the process without running destructors; tests pass their own.
  using Exit = std::function<void()>;
  static void EndProcess();

  explicit ExitWatch(uint32_t boundMs, Exit exit = EndProcess);
  ~ExitWatch();
  ExitWatch(const ExitWatch&) = delete;
  ExitWatch& operator=(const ExitWatch&) = delete;

  // The end has been decided (the close accepted): from the first call the
  // process has the bound to end.
  void Arm();
  // A terminate request; safe in a signal handler. The user-interface thread
  // answers it with a close; when that thread has not beaten for the bound
  // (stuck on a lock), the watch ends the process itself.
  void Terminate() { terminate_.store(true); }
  // The user-interface thread is running its event loop.
  void Beat();
  bool Armed() const { return armedAtMs_.load() != kNever; }

 private:
  static constexpr int64_t kNever = INT64_MIN;
  static int64_t NowMs();
  void Watch();

  const int64_t boundMs_;
  const Exit exit_;
  std::atomic<int64_t> armedAtMs_{kNever};
  std::atomic<int64_t> lastBeatMs_;
  std::atomic<bool> terminate_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace lv
