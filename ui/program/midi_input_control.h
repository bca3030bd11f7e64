#pragma once
// The main dialog reopens the performance's MIDI input through MidiClass.
#include "main_dialog/main_dialog_services.h"
#include "midi/midi_class.h"

namespace app {

class MidiInputControl final : public ui::MidiInputControl {
 public:
  MidiInputControl(lv::MidiClass& midi, lv::Performer& performer) : midi_(midi), performer_(performer) {}
  void Reopen(const char* deviceName) override {
    midi_.Close();
    midi_.Open(deviceName, &performer_);
  }

 private:
  lv::MidiClass& midi_;
  lv::Performer& performer_;
};

}  // namespace app
