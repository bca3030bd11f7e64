#pragma once
// The dialogs and messages of the render commands, shown by the window layer
// on the user-interface thread.
#include <optional>
#include <string>

#include "capture/file_dialog_request.h"

namespace lv {

class RenderPrompts {
 public:
  virtual ~RenderPrompts() = default;
  // The chosen path, or empty when the user cancels.
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& request) = 0;
  // An error box with the given text and caption.
  virtual void ShowError(const std::string& text, const std::string& caption) = 0;
};

}  // namespace lv
