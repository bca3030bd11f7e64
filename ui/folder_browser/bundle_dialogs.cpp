#include "folder_browser/bundle_dialogs.h"

#include "folder_browser/folder_browser.h"
#include "platform/window/qt_window_handle.h"
#include "platform/window/text_entry_dialog.h"

namespace ui {

WindowBundleDialogs::WindowBundleDialogs(QWidget* owner) : owner_(owner) {
  templates_.Add(window::TextEntryDialogTemplate());
}

std::optional<std::string> WindowBundleDialogs::AskParentFolder(const std::string& start) {
  return BrowseForFolder(owner_, start);
}

std::optional<std::string> WindowBundleDialogs::AskProjectName(const std::string& suggested) {
  std::unique_ptr<char[]> text =
      window::RunTextEntryDialog(templates_, window::HandleOf(owner_), "Enter the project name", suggested.c_str());
  if (!text) return std::nullopt;
  return std::string(text.get());
}

}  // namespace ui
