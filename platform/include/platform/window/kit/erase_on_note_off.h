#pragma once
// The note-off step of plug-ins that show a source.
#include "lv/lorvane_interface.h"
#include "lv/source.h"

namespace kit {

// With `erase`, clears the current target to opaque black; then the plug-in
// stops using its source (when it has one open).
void EraseOnNoteOff(lv::LorvaneInterface* host, bool erase, lv::Source* source);

}  // namespace kit
