#pragma once
// The render commands' file dialogs and error boxes on the window layer.
#include "platform/window/window_handle.h"
#include "render/render_prompts.h"

namespace lv {

class WindowRenderPrompts final : public RenderPrompts {
 public:
  // `owner`: the main dialog, or null.
  explicit WindowRenderPrompts(window::WindowHandle owner = nullptr) : owner_(owner) {}
  void SetOwner(window::WindowHandle owner) { owner_ = owner; }

  std::optional<std::string> OpenFile(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& request) override;
  // On the user-interface thread it waits for the box; from any other
  // thread the box is queued for the user-interface thread and the caller
  // goes on, so a thread holding the frame lock never waits on the user.
  void ShowError(const std::string& text, const std::string& caption) override;

 private:
  window::WindowHandle owner_;
};

}  // namespace lv
