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
  // answers it with a beat (its close follows); when that thread has not
  // beaten within the bound of the request (stuck on a lock), the watch ends
  // the process itself. A request once answered never ends it later.
  void Terminate() { terminateAtMs_.store(NowMs()); }
  // The user-interface thread is running its event loop.
  void Beat();
  bool Armed() const { return armedAtMs_.load() != kNever; }

  // While one lives, a file the performer asked for is being written (a
  // project saved): the watch does not end the process part-way through it.
  // Its bounds count again from the end of the hold.
  class Hold {
   public:
    explicit Hold(ExitWatch* watch);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    ExitWatch* watch_;
  };

 private:
  static constexpr int64_t kNever = INT64_MIN;
  static int64_t NowMs();
  void Watch();

  const int64_t boundMs_;
  const Exit exit_;
  std::atomic<int64_t> armedAtMs_{kNever};
  std::atomic<int64_t> lastBeatMs_;
  std::atomic<int64_t> terminateAtMs_{kNever};
  std::atomic<int> holds_{0};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace lv
