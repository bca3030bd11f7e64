#pragma once
// The show the rendering tests play: a capture of two notes whose colours
// follow each other over ten frames, and the colour each frame must show.
#include <cstdint>
#include <vector>

#include "../capture/capture_test_support.h"

namespace lvtest {

struct Rgb {
  uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{220, 20, 20};
inline constexpr Rgb kGreen{20, 200, 40};

inline constexpr uint8_t kRedNote = 60;
inline constexpr uint8_t kGreenNote = 62;

// Notes on channel 0 at 29.97 frames per second: frame clocks 0, 33, 66,
// 100, 133, 166, 200, 233, 266, 300 ms; the last record ends the show in
// frame 9. Green is played over red from 100 to 200 ms.
inline CaptureBytes TestShow() {
  const uint32_t base = 90000;
  return CaptureBytes{}
      .Event(Message(0x90, kRedNote, 100), base)
      .Spectrum(0.5f)
      .Event(Message(0x90, kGreenNote, 100), base + 100)
      .Event(Message(0x80, kGreenNote, 0), base + 200)
      .Event(Message(0x90, kRedNote, 0), base + 260)
      .Event(Message(0xF8), base + 300);
}
inline const std::vector<Rgb> kShowFrames = {kRed, kRed, kRed, kGreen, kGreen, kGreen, kRed, kRed, kBlack, kBlack};

}  // namespace lvtest
