#pragma once
// Computer-keyboard play: 80 keys, one per MIDI note 0-79, in rows from the
// function keys down to the numeric keypad. Keys are the window layer's key
// codes (platform/window/virtual_keys.h).
#include <array>
#include <cstdint>

namespace lv {

inline constexpr int kKeyboardNotes = 80;

// Index = MIDI note.
extern const std::array<uint8_t, kKeyboardNotes> KeyNoteMap;

// The note a key plays, or -1 for a key without one.
int NoteOfKey(int key);

}  // namespace lv
