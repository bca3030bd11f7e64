#pragma once
// The defaults a new performance starts from: the program's settings record
// holds them, and these are its values before any settings file is read.
#include <cstdint>

namespace lv {

struct PerformanceSettings {
  uint32_t channelMask = 0x0001;  // bit c = MIDI channel c
  int32_t displayAdapter = 0;
  int32_t width = 640;
  int32_t height = 480;
  int32_t bitsPerPixel = 32;
  int32_t refreshRate = 60;
  int32_t workBuffers = 0;
  uint8_t npw2 = 1;  // round textures to a power of two where the device needs it
  uint8_t hold = 0;  // released notes play on until a key goes down on an idle channel
  uint8_t hide = 1;  // hide the mouse cursor in full screen
  uint8_t cust = 0;  // full screen leaves the display mode as it is
  const char* midiDevice = nullptr;
};

}  // namespace lv
