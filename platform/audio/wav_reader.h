#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

namespace audio {

// Reads the sound of a 16-bit PCM WAV file, mono or stereo, as a stream of
// stereo frames (a mono file gives each sample to both channels).
class WavReader {
 public:
  WavReader() = default;
  ~WavReader();
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  // False (and nothing open) unless the file is a WAV file of 16-bit PCM
  // with one or two channels.
  bool Open(const std::string& path);

  uint16_t channels() const { return channels_; }
  uint32_t samplesPerSec() const { return samplesPerSec_; }
  uint64_t frameCount() const { return frameCount_; }
  uint64_t position() const { return position_; }

  // Writes up to `frames` stereo frames (4 bytes each, little-endian, left
  // first) to `out`; returns how many, fewer only at the end of the sound.
  size_t ReadStereo(uint8_t* out, size_t frames);
  // Moves on without reading; stops at the end.
  void Skip(uint64_t frames);

 private:
  std::FILE* file_ = nullptr;
  uint16_t channels_ = 0;
  uint32_t samplesPerSec_ = 0;
  uint64_t dataOffset_ = 0;
  uint64_t frameCount_ = 0;
  uint64_t position_ = 0;
};

}  // namespace audio
