#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace media {

// The stream as it is delivered: interleaved signed 16-bit samples at the
// file's own rate and channel count.
struct AudioStreamInfo {
  int sampleRate = 0;
  int channels = 0;
  int bitsPerSample = 16;
  int blockAlign = 0;  // bytes of one sample of all channels
  int64_t length = 0;  // samples per channel
};

// The first audio stream of a file, read by sample position.
class AudioStreamReader {
 public:
  virtual ~AudioStreamReader() = default;
  virtual const AudioStreamInfo& Info() const = 0;

  // Reads up to `count` samples from `first` into `out` (count × blockAlign
  // bytes); returns how many were read, fewer at the end of the stream and
  // 0 past it. A position other than where the last read ended seeks.
  virtual int64_t Read(int64_t first, int64_t count, void* out) = 0;
};

enum class AudioOpenResult { Opened, NoAudioStream, Failed };

// Opens the file's first audio stream on its own, apart from any video reader
// of the same file. `result` tells a silent file from one that can't be read;
// on failure `error` holds the reason.
std::unique_ptr<AudioStreamReader> OpenAudioStream(const std::string& path, AudioOpenResult* result,
                                                   std::string* error);

}  // namespace media
