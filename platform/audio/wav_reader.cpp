#include "wav_reader.h"

#include <algorithm>
#include <cstring>

namespace audio {
namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;

}  // namespace

WavReader::~WavReader() {
  if (file_) std::fclose(file_);
}

bool WavReader::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fseek(file, 0, SEEK_END);
  long end = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  uint64_t fileSize = end > 0 ? static_cast<uint64_t>(end) : 0;

  uint8_t riff[12];
  bool ok = std::fread(riff, 1, 12, file) == 12 && std::memcmp(riff, "RIFF", 4) == 0 &&
            std::memcmp(riff + 8, "WAVE", 4) == 0;
  bool haveFormat = false, haveData = false;
  uint16_t channels = 0, bits = 0;
  uint32_t rate = 0;
  uint64_t dataOffset = 0, dataBytes = 0;
  uint64_t at = 12;
  while (ok && !(haveFormat && haveData) && at + 8 <= fileSize) {
    uint8_t chunk[8];
    std::fseek(file, static_cast<long>(at), SEEK_SET);
    if (std::fread(chunk, 1, 8, file) != 8) break;
    uint64_t size = U32(chunk + 4);
    uint64_t body = at + 8;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      uint8_t fmt[40] = {};
      size_t want = static_cast<size_t>(std::min<uint64_t>(size, sizeof fmt));
      if (size < 16 || std::fread(fmt, 1, want, file) != want) {
        ok = false;
        break;
      }
      uint16_t tag = U16(fmt);
      if (tag == kTagExtensible && size >= 40) tag = U16(fmt + 24);  // the sub-format's tag
      channels = U16(fmt + 2);
      rate = U32(fmt + 4);
      bits = U16(fmt + 14);
      ok = tag == kTagPcm && bits == 16 && (channels == 1 || channels == 2) && rate > 0;
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      dataOffset = body;
      // A length past the end (or a streaming writer's 0xFFFFFFFF) means
      // "up to the end of the file".
      dataBytes = std::min(size, fileSize - body);
      haveData = true;
    }
    at = body + size + (size & 1);
  }
  if (!ok || !haveFormat || !haveData) {
    std::fclose(file);
    return false;
  }
  if (file_) std::fclose(file_);
  file_ = file;
  channels_ = channels;
  samplesPerSec_ = rate;
  dataOffset_ = dataOffset;
  frameCount_ = dataBytes / (2u * channels);
  position_ = 0;
  std::fseek(file_, static_cast<long>(dataOffset_), SEEK_SET);
  return true;
}

size_t WavReader::ReadStereo(uint8_t* out, size_t frames) {
  if (!file_) return 0;
  frames = static_cast<size_t>(std::min<uint64_t>(frames, frameCount_ - position_));
  size_t got = std::fread(out, 2u * channels_, frames, file_);
  if (channels_ == 1) {
    // Spread in place from the back so no sample is overwritten before use.
    for (size_t i = got; i-- > 0;) {
      uint8_t lo = out[2 * i], hi = out[2 * i + 1];
      out[4 * i] = out[4 * i + 2] = lo;
      out[4 * i + 1] = out[4 * i + 3] = hi;
    }
  }
  position_ += got;
  if (got < frames) position_ = frameCount_;  // a short read: the file ended early
  return got;
}

void WavReader::Skip(uint64_t frames) {
  if (!file_) return;
  position_ = std::min(frameCount_, position_ + frames);
  std::fseek(file_, static_cast<long>(dataOffset_ + position_ * 2u * channels_), SEEK_SET);
}

}  // namespace audio
