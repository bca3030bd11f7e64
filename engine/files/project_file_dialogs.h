#pragma once
// The file dialogs that choose a project to save or load.
#include <optional>
#include <string>

#include "platform/window/window_handle.h"

namespace lv {

class ProjectFileDialogs {
 public:
  virtual ~ProjectFileDialogs() = default;
  // The name to save under, starting from `current`; nothing when cancelled.
  virtual std::optional<std::string> AskSaveName(const std::string& current) = 0;
  // An existing project to load; nothing when cancelled.
  virtual std::optional<std::string> AskLoadName() = 0;
};

// The common file dialogs, owned by the main dialog.
class CommonProjectFileDialogs final : public ProjectFileDialogs {
 public:
  explicit CommonProjectFileDialogs(window::WindowHandle owner) : owner_(owner) {}
  std::optional<std::string> AskSaveName(const std::string& current) override;
  std::optional<std::string> AskLoadName() override;

 private:
  window::WindowHandle owner_;
};

}  // namespace lv
