#include "display/display_modes.h"

namespace lv {

gfx::Format ChooseBackBufferFormat(const List& modes, const DisplayRequest& request, BackBufferLimit limit) {
  const DisplayModeNode* sameBits = nullptr;
  for (ListNode* node = modes.Head(); node != nullptr; node = node->Next()) {
    const auto* mode = static_cast<const DisplayModeNode*>(node);
    if (mode->bitsPerPixel != request.bitsPerPixel) continue;
    if (mode->width == request.width && mode->height == request.height && mode->refreshRate == request.refreshRate)
      return mode->format;
    if (sameBits == nullptr) sameBits = mode;
  }
  const bool makeable = request.width >= 1 && request.height >= 1 && request.width <= limit.width &&
                        request.height <= limit.height;
  return sameBits != nullptr && makeable ? sameBits->format : gfx::Format::Unknown;
}

}  // namespace lv
