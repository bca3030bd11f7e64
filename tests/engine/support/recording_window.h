#pragma once
// A window that keeps what was posted to it.
#include <mutex>
#include <vector>

#include "performer/message_window.h"

namespace lvtest {

struct PostedMessage {
  uint32_t message;
  uintptr_t wParam;
  intptr_t lParam;
  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

class RecordingWindow : public lv::MessageWindow {
 public:
  void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    std::lock_guard lock(mutex_);
    posted_.push_back({message, wParam, lParam});
  }
  std::vector<PostedMessage> Posted() {
    std::lock_guard lock(mutex_);
    return posted_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    posted_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<PostedMessage> posted_;
};

}  // namespace lvtest
