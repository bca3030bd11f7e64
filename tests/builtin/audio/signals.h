#pragma once
// Synthetic input: 512-frame stereo buffers as a sound card returns them.
#include <cmath>
#include <cstdint>
#include <vector>

namespace signals {

constexpr int kFrames = 512;

inline void PutFrame(std::vector<uint8_t>& out, int16_t left, int16_t right) {
  for (int16_t v : {left, right}) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
}

// One buffer of a sine at the centre of `bin` (bin × 44100/2048 Hz) on both
// channels. For bins that are multiples of 4 every buffer is the same, so
// a steady tone gives the same spectrum every time.
inline std::vector<uint8_t> Tone(int bin, int amplitude) {
  std::vector<uint8_t> out;
  for (int i = 0; i < kFrames; ++i) {
    auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * 3.14159265358979323846 * bin * i / 2048.0)));
    PutFrame(out, v, v);
  }
  return out;
}

inline std::vector<uint8_t> Silence() { return std::vector<uint8_t>(kFrames * 4, 0); }

}  // namespace signals
