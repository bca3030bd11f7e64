#include "platform/window/common_dialogs.h"

#include "prompts_routing.h"

namespace window {

std::optional<std::string> GetOpenFileName(const FileDialogRequest& request) {
  return AskOnUiThread<std::optional<std::string>>(
      [request] { return CurrentPrompts().AskOpenFileName(request); }, std::nullopt);
}

std::optional<std::string> GetSaveFileName(const FileDialogRequest& request) {
  return AskOnUiThread<std::optional<std::string>>(
      [request] { return CurrentPrompts().AskSaveFileName(request); }, std::nullopt);
}

std::optional<ColourRef> ChooseColour(const ColourRequest& request) {
  return AskOnUiThread<std::optional<ColourRef>>(
      [request] { return CurrentPrompts().AskColour(request); }, std::nullopt);
}

}  // namespace window
