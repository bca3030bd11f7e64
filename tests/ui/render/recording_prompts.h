#pragma once
// Stands in for the user: records every question the window layer asks,
// with the thread it was asked on, and gives scripted answers.
#include <mutex>
#include <thread>
#include <vector>

#include "platform/window/user_prompts.h"

class RecordingPrompts final : public window::UserPrompts {
 public:
  RecordingPrompts() { window::SetUserPrompts(this); }
  ~RecordingPrompts() override { window::SetUserPrompts(nullptr); }

  window::MessageBoxResult AskMessageBox(const window::MessageBoxRequest& request) override {
    std::lock_guard lock(mutex_);
    boxes_.push_back(request);
    boxThreads_.push_back(std::this_thread::get_id());
    return window::kIdOk;
  }
  std::optional<std::string> AskOpenFileName(const window::FileDialogRequest& request) override {
    std::lock_guard lock(mutex_);
    opens_.push_back(request);
    return file;
  }
  std::optional<std::string> AskSaveFileName(const window::FileDialogRequest& request) override {
    std::lock_guard lock(mutex_);
    saves_.push_back(request);
    return file;
  }
  std::optional<window::ColourRef> AskColour(const window::ColourRequest&) override { return std::nullopt; }

  std::vector<window::MessageBoxRequest> Boxes() {
    std::lock_guard lock(mutex_);
    return boxes_;
  }
  std::vector<std::thread::id> BoxThreads() {
    std::lock_guard lock(mutex_);
    return boxThreads_;
  }
  std::vector<window::FileDialogRequest> Opens() {
    std::lock_guard lock(mutex_);
    return opens_;
  }
  std::vector<window::FileDialogRequest> Saves() {
    std::lock_guard lock(mutex_);
    return saves_;
  }

  std::optional<std::string> file;

 private:
  std::mutex mutex_;
  std::vector<window::MessageBoxRequest> boxes_;
  std::vector<std::thread::id> boxThreads_;
  std::vector<window::FileDialogRequest> opens_;
  std::vector<window::FileDialogRequest> saves_;
};
