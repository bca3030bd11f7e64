#pragma once
// What the output window does with the keyboard and with losing the
// foreground: Esc leaves full screen (or ends a capture playback), Space
// stops every note, and with keyboard play on the key map plays notes and
// Up / Down step the keyboard channel through the banks.
#include <cstdint>
#include <functional>

#include "performer/midi_event.h"

namespace lv {

class MessageWindow;
class Performer;

// The main dialog's keyboard-play switch and channel.
struct KeyboardPlay {
  bool enabled = false;
  uint8_t channel = 0;
};

class OutputWindowCommands {
 public:
  struct Connections {
    MessageWindow* mainDialog = nullptr;           // hears a playback stop
    std::function<void()> setWindowed;             // the windowed display switch
    std::function<void()> clearPlayingMarks;       // the patch list's playing marks
    std::function<KeyboardPlay()> keyboardPlay;    // read at every key
    uint32_t (*clock)() = nullptr;                 // system milliseconds
    // Where the events go; the Performer's ring when not given.
    std::function<void(const MidiEvent&)> push;
  };

  OutputWindowCommands(Performer& performer, Connections connections);

  // `key`: a key code of the window layer; `autoRepeat`: the key was already down.
  void KeyDown(int key, bool autoRepeat);
  void KeyUp(int key);
  // The application lost the foreground.
  void Deactivated();

 private:
  void Push(uint32_t message);

  Performer& performer_;
  Connections connections_;
};

}  // namespace lv
