#pragma once
#include <functional>
#include <memory>

namespace window {

// A repeating timer on the user-interface thread (made and used there).
class UiTimer {
 public:
  UiTimer();
  ~UiTimer();
  UiTimer(const UiTimer&) = delete;
  UiTimer& operator=(const UiTimer&) = delete;

  // (Re)starts the timer: `tick` runs every `milliseconds`.
  void Start(int milliseconds, std::function<void()> tick);
  void Stop();
  bool IsRunning() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace window
