#pragma once
#include <memory>
#include <string>

#include "platform/audio/wave_in.h"

namespace audio {

// How a file-backed input hands out its sound.
enum class FilePacing {
  RealTime,  // a thread of its own returns buffers as fast as the sound plays
  OnDemand,  // one buffer each time DeliverNextBuffer is called
};

// One input device that plays a 16-bit PCM WAV file (mono or stereo) in
// place of a sound card: for tests, and for rendering a performance
// offline. It lists no device when the file cannot be read.
class FileWaveInDevices : public WaveInDevices {
 public:
  FileWaveInDevices(std::string path, FilePacing pacing);
  ~FileWaveInDevices() override;

  uint32_t GetNumDevs() override;
  bool GetDevCaps(uint32_t id, WaveInCaps* caps) override;
  std::unique_ptr<WaveIn> Open(uint32_t id, const WaveFormat& format,
                               WaveInCallback callback) override;

  // OnDemand: fills the oldest queued buffer of the open, started device
  // from the file and returns it through the callback on the calling thread
  // (the last one may be partly filled). False when there is no such device
  // or buffer, or the sound has ended.
  bool DeliverNextBuffer();

  struct Shared;

 private:
  std::string path_;
  FilePacing pacing_;
  std::shared_ptr<Shared> shared_;
};

}  // namespace audio
