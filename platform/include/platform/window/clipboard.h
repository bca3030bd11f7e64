#pragma once
#include <optional>
#include <string>

namespace window {

// The system clipboard's text, UTF-8. Nothing when it holds no text or no
// user interface runs. User-interface thread only.
std::optional<std::string> GetClipboardText();
void SetClipboardText(const std::string& text);

}  // namespace window
