#pragma once
// Builds WAV files for tests: a well-formed file, or one bent to show a fault.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace wavtest {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back((v >> 8) & 0xFF);
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
inline void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

struct WavSpec {
  uint16_t formatTag = 1;
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  std::vector<int16_t> samples;        // interleaved
  bool extensible = false;             // WAVE_FORMAT_EXTENSIBLE wrapper around formatTag
  bool oddChunkFirst = false;          // a 3-byte "LIST" chunk (padded) before "fmt "
  int64_t dataSizeOverride = -1;       // a data length that lies
};

inline std::vector<uint8_t> WavBytes(const WavSpec& spec) {
  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  Put32(out, 0);  // patched below
  PutTag(out, "WAVE");
  if (spec.oddChunkFirst) {
    PutTag(out, "LIST");
    Put32(out, 3);
    PutTag(out, "abc");  // three bytes and the pad byte
  }
  PutTag(out, "fmt ");
  Put32(out, spec.extensible ? 40 : 16);
  Put16(out, spec.extensible ? 0xFFFE : spec.formatTag);
  Put16(out, spec.channels);
  Put32(out, spec.rate);
  Put32(out, spec.rate * spec.channels * spec.bits / 8);
  Put16(out, spec.channels * spec.bits / 8);
  Put16(out, spec.bits);
  if (spec.extensible) {
    Put16(out, 22);
    Put16(out, spec.bits);
    Put32(out, 3);
    Put16(out, spec.formatTag);  // first two bytes of the sub-format GUID
    const uint8_t rest[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                              0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    for (uint8_t b : rest) out.push_back(b);
  }
  PutTag(out, "data");
  uint32_t dataBytes = static_cast<uint32_t>(spec.samples.size() * 2);
  Put32(out, spec.dataSizeOverride >= 0 ? static_cast<uint32_t>(spec.dataSizeOverride) : dataBytes);
  for (int16_t s : spec.samples) Put16(out, static_cast<uint16_t>(s));
  uint32_t riffSize = static_cast<uint32_t>(out.size() - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = (riffSize >> (8 * i)) & 0xFF;
  return out;
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

inline void WriteWav(const std::string& path, const WavSpec& spec) { WriteFile(path, WavBytes(spec)); }

}  // namespace wavtest
