#pragma once
// Computer-keyboard play as the dialogs share it: whether it is on, the MIDI
// channel its notes go out on, and the key map from key codes to notes.
#include <cstdint>
#include <functional>

#include "performer/performer.h"
#include "platform/window/messages.h"
#include "platform/window/virtual_keys.h"

namespace ui {

struct KeyboardPlay {
  // The note of a key code (platform/window/virtual_keys.h), -1 for none.
  using KeyNoteMap = std::function<int(int virtualKey)>;

  int NoteOf(int virtualKey) const { return keyNoteMap ? keyNoteMap(virtualKey) : -1; }

  bool enabled = false;  // "Use Keyboard"
  int channel = 0;       // OR-ed into the status byte; nothing changes it yet
  KeyNoteMap keyNoteMap;
};

// A mapped key going down (note on, velocity 127) or up (note off) on the
// keyboard channel, handed to the Performer's ring exactly like MIDI input.
inline void PushKeyboardNote(lv::Performer& performer, const KeyboardPlay& keyboard, int note, bool on,
                             uint32_t time) {
  const uint32_t channel = static_cast<uint32_t>(keyboard.channel & 15);
  const uint32_t data = static_cast<uint32_t>(note & 127) << 8;
  performer.PushMidi({on ? (0x90u | channel | data | 127u << 16) : (0x80u | channel | data), time});
}

// What the windows that play from the keyboard reach: the Performer for the
// notes, and the main dialog for Full and the bank steps (posted, so they run
// after the key's own handling).
struct KeyboardTargets {
  lv::Performer* performer = nullptr;
  const KeyboardPlay* keyboard = nullptr;
  std::function<void()> postFull;
  std::function<void(window::ScrollCode)> postBankScroll;
  std::function<uint32_t()> clock;

  // The note of a key while keyboard play is on, else -1.
  int PlayedNote(int virtualKey) const {
    return keyboard != nullptr && keyboard->enabled ? keyboard->NoteOf(virtualKey) : -1;
  }
  void PushNote(int note, bool on) const {
    if (performer != nullptr && keyboard != nullptr) PushKeyboardNote(*performer, *keyboard, note, on, clock ? clock() : 0);
  }
  void Full() const {
    if (postFull) postFull();
  }
  void BankStep(window::ScrollCode code) const {
    if (postBankScroll) postBankScroll(code);
  }
  // A key going down (not a repeat) in a window whose keys `previousBank`
  // and `nextBank` step through the banks: backtick is Full, a mapped key
  // plays. False for any other key.
  bool KeyDown(int virtualKey, int previousBank, int nextBank) const {
    if (virtualKey == window::vk::kBacktick) {
      Full();
    } else if (virtualKey == previousBank) {
      BankStep(window::ScrollCode::kLineLeft);
    } else if (virtualKey == nextBank) {
      BankStep(window::ScrollCode::kLineRight);
    } else if (const int note = PlayedNote(virtualKey); note >= 0) {
      PushNote(note, true);
    } else {
      return false;
    }
    return true;
  }
};

}  // namespace ui
