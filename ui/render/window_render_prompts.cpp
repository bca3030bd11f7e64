#include "render/window_render_prompts.h"

#include "platform/window/message_box.h"
#include "platform/window/ui_thread.h"
#include "render/window_file_dialog.h"

namespace lv {

std::optional<std::string> WindowRenderPrompts::OpenFile(const FileDialogRequest& request) {
  return window::GetOpenFileName(ToWindowFileDialog(request, owner_));
}

std::optional<std::string> WindowRenderPrompts::SaveFile(const FileDialogRequest& request) {
  return window::GetSaveFileName(ToWindowFileDialog(request, owner_));
}

void WindowRenderPrompts::ShowError(const std::string& text, const std::string& caption) {
  window::MessageBoxRequest box;
  box.owner = owner_;
  box.text = text;
  box.caption = caption;
  box.icon = window::MessageBoxIcon::kError;
  if (window::IsUiThread()) {
    window::ShowMessageBox(box);
  } else {
    window::PostMessageBox(std::move(box));
  }
}

}  // namespace lv
