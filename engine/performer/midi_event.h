#pragma once
// One MIDI short message as queued for the render thread; also the body of a
// capture file's event record.
#include <cstdint>

namespace lv {

struct MidiEvent {
  uint32_t message = 0;  // status | data1 << 8 | data2 << 16
  uint32_t time = 0;     // ms: the driver's time stamp, or the system clock for keyboard events

  uint8_t Status() const { return static_cast<uint8_t>(message); }
  uint8_t Data1() const { return static_cast<uint8_t>(message >> 8); }
  uint8_t Data2() const { return static_cast<uint8_t>(message >> 16); }
};
static_assert(sizeof(MidiEvent) == 8);

}  // namespace lv
