#pragma once
// The records of a MIDI capture file. The file has no header and no trailer;
// it ends where its last record ends, and every value is little-endian.
//   event:    u8 1, u32 message (status | data1 << 8 | data2 << 16), u32 time ms
//   spectrum: u8 2, 1024 float32 values: the audio spectrum after a frame
// Spectrum records carry no time: the event records around them date them.
#include <cstddef>
#include <cstdint>

namespace lv {

inline constexpr char kDefaultCaptureName[] = "Performance.midicap";

inline constexpr uint8_t kCaptureEventRecord = 1;
inline constexpr uint8_t kCaptureSpectrumRecord = 2;
inline constexpr int kCaptureSpectrumValues = 1024;
inline constexpr size_t kCaptureEventBytes = 8;
inline constexpr size_t kCaptureSpectrumBytes = kCaptureSpectrumValues * 4;
inline constexpr size_t kCaptureEventRecordBytes = 1 + kCaptureEventBytes;
inline constexpr size_t kCaptureSpectrumRecordBytes = 1 + kCaptureSpectrumBytes;
// No spectrum the audio analyser makes lies outside 0 .. this: samples of at
// most 2 in size, through a window that sums to at most 0.355768 x 2048, at
// the highest bin weight, 0.02 x ln 1024.
inline constexpr float kCaptureSpectrumMax = float(2.0 * 0.355768 * 2048 * 0.02 * 6.931471805599453);

inline void PutU32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

inline uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

}  // namespace lv
