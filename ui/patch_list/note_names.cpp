#include "patch_list/note_names.h"

#include <cstdio>

namespace ui {

std::string NoteName(int note) {
  static const char* const kNames[12] = {"C ", "C#", "D ", "D#", "E ", "F ", "F#", "G ", "G#", "A ", "A#", "B "};
  const int octave = note / 12 - 2;
  char text[16];
  std::snprintf(text, sizeof text, octave < 0 ? "%s%d" : "%s %d", kNames[note % 12], octave);
  return text;
}

}  // namespace ui
