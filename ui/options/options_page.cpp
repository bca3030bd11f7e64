#include "options/options_page.h"

#include "options/options_prompts.h"
#include "platform/window/qt_window_handle.h"

namespace ui {

OptionsPrompts& OptionsPage::Prompts() const {
  return context_.services.prompts != nullptr ? *context_.services.prompts : QtOptionsPrompts();
}

void OptionsPage::Inform(const char* text, const char* caption, window::MessageBoxIcon icon) {
  window::MessageBoxRequest request;
  request.owner = window::HandleOf(window());
  request.text = text;
  request.caption = caption;
  request.icon = icon;
  window::ShowMessageBox(request);
}

}  // namespace ui
