#pragma once
// Computer-keyboard play as the dialogs share it: whether it is on, the MIDI
// channel its notes go out on, and the key map from key codes to notes.
#include <functional>

namespace ui {

struct KeyboardPlay {
  // The note of a key code (platform/window/virtual_keys.h), -1 for none.
  using KeyNoteMap = std::function<int(int virtualKey)>;

  int NoteOf(int virtualKey) const { return keyNoteMap ? keyNoteMap(virtualKey) : -1; }

  bool enabled = false;  // "Use Keyboard"
  int channel = 0;       // OR-ed into the status byte; nothing changes it yet
  KeyNoteMap keyNoteMap;
};

}  // namespace ui
