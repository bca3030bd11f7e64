#pragma once
// How the patch list names a MIDI note: "C -2" for note 0, "C  3" for 60.
#include <string>

namespace ui {

std::string NoteName(int note);

}  // namespace ui
