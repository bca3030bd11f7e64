#pragma once
// Answers the questions of the code under test and remembers them, with the
// thread each was asked on.
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/user_prompts.h"

class FakePrompts final : public window::UserPrompts {
 public:
  FakePrompts() { window::SetUserPrompts(this); }
  ~FakePrompts() override { window::SetUserPrompts(nullptr); }

  window::MessageBoxResult AskMessageBox(const window::MessageBoxRequest& request) override {
    std::lock_guard lock(mutex_);
    boxes_.push_back(request);
    threads_.push_back(std::this_thread::get_id());
    return answer;
  }
  std::optional<std::string> AskOpenFileName(const window::FileDialogRequest& request) override {
    std::lock_guard lock(mutex_);
    files_.push_back(request);
    return file;
  }
  std::optional<std::string> AskSaveFileName(const window::FileDialogRequest& request) override {
    return AskOpenFileName(request);
  }
  std::optional<window::ColourRef> AskColour(const window::ColourRequest&) override { return std::nullopt; }

  std::vector<window::MessageBoxRequest> Boxes() {
    std::lock_guard lock(mutex_);
    return boxes_;
  }
  std::vector<std::thread::id> Threads() {
    std::lock_guard lock(mutex_);
    return threads_;
  }

  window::MessageBoxResult answer = window::kIdOk;
  std::optional<std::string> file;

 private:
  std::mutex mutex_;
  std::vector<window::MessageBoxRequest> boxes_;
  std::vector<window::FileDialogRequest> files_;
  std::vector<std::thread::id> threads_;
};
