#include "platform/window/kit/erase_on_note_off.h"

#include "platform/gfx/device.h"

namespace kit {

void EraseOnNoteOff(lv::LorvaneInterface* host, bool erase, lv::Source* source) {
  if (erase && host != nullptr) {
    if (gfx::Device* device = host->GetDevice()) {
      device->Clear(0, nullptr, gfx::clear::Target, gfx::ColorArgb(0xFF, 0, 0, 0), 0.0f, 0);
    }
  }
  if (source != nullptr) source->Detach();
}

}  // namespace kit
