#include "display/display_modes.h"

namespace lv {

gfx::Format ChooseBackBufferFormat(const List& modes, const DisplayRequest& request) {
  for (ListNode* node = modes.Head(); node != nullptr; node = node->Next()) {
    const auto* mode = static_cast<const DisplayModeNode*>(node);
    if (mode->bitsPerPixel == request.bitsPerPixel && mode->width == request.width &&
        mode->height == request.height && mode->refreshRate == request.refreshRate)
      return mode->format;
  }
  return gfx::Format::Unknown;
}

}  // namespace lv
