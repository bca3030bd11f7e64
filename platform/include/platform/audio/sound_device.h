#pragma once
// Sound output: streaming buffers mixed into one output, DirectSound-shaped.
// A buffer is a ring of PCM bytes the caller keeps filling (Lock, copy,
// Unlock) while it plays; volume is in hundredths of a decibel (0 full,
// -10000 silent) and pan in the same units (-10000 left only .. 10000 right
// only).
#include <cstdint>
#include <memory>
#include <string>

namespace audio {

enum class SoundResult { Ok, BufferLost, InvalidParam, BadFormat };

inline constexpr int32_t kVolumeMax = 0;
inline constexpr int32_t kVolumeMin = -10000;
inline constexpr int32_t kPanLeft = -10000;
inline constexpr int32_t kPanRight = 10000;

// PCM only: 8-bit unsigned or 16-bit signed, mono or stereo.
struct SoundFormat {
  uint16_t formatTag = 1;  // 1: PCM
  uint16_t channels = 2;
  uint32_t samplesPerSec = 44100;
  uint32_t avgBytesPerSec = 44100 * 4;
  uint16_t blockAlign = 4;
  uint16_t bitsPerSample = 16;
};

struct SoundBufferDesc {
  uint32_t bufferBytes = 0;  // a whole number of blocks
  SoundFormat format;
};

// Linear gain of a volume; exactly 0 at kVolumeMin and below.
float VolumeGain(int32_t hundredthsOfDb);
// Gains of the left and right channel for a pan: the far side is attenuated
// by |pan| hundredths of a decibel, the near side stays at 1.
void PanGains(int32_t pan, float* left, float* right);

struct MixerState;
struct BufferState;

class SoundBuffer {
 public:
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // Maps `bytes` from `offset` for writing, as up to two regions when it
  // runs past the end of the ring (the second then starts at 0; else it is
  // null with size 0). The bytes reach the ring at Unlock.
  SoundResult Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes, void** second,
                   uint32_t* secondBytes);
  SoundResult Unlock(void* first, uint32_t firstBytes, void* second, uint32_t secondBytes);
  // Memory is never lost here; kept so callers can follow the usual protocol.
  SoundResult Restore();

  SoundResult SetVolume(int32_t hundredthsOfDb);
  SoundResult SetPan(int32_t pan);
  int32_t GetVolume() const;
  int32_t GetPan() const;

  // In bytes; the next byte to be played.
  SoundResult SetCurrentPosition(uint32_t offset);
  uint32_t GetCurrentPosition() const;
  // Looping plays the ring round and round; otherwise it stops at its end.
  SoundResult Play(bool looping);
  SoundResult Stop();
  bool IsPlaying() const;

  uint32_t Size() const;
  const SoundFormat& Format() const;

 private:
  friend class SoundDevice;
  SoundBuffer(std::shared_ptr<MixerState> mixer, std::shared_ptr<BufferState> state);
  std::shared_ptr<MixerState> mixer_;
  std::shared_ptr<BufferState> state_;
};

// Mixes every playing buffer into interleaved stereo float samples. The
// device that the program opens pulls from it on the output's own thread;
// without an output (NullSoundDevice) the caller pulls with Render.
class SoundDevice {
 public:
  explicit SoundDevice(uint32_t outputRate);
  virtual ~SoundDevice();
  SoundDevice(const SoundDevice&) = delete;
  SoundDevice& operator=(const SoundDevice&) = delete;

  // Null, with the reason, for a size of 0 or not a whole number of blocks,
  // or a format that is not 8/16-bit PCM mono or stereo.
  std::unique_ptr<SoundBuffer> CreateSoundBuffer(const SoundBufferDesc& desc, SoundResult* result = nullptr);

  uint32_t OutputRate() const { return outputRate_; }

 protected:
  // Adds `frames` stereo frames of every playing buffer into `out` (after
  // clearing it) and moves their play positions on.
  void Mix(float* out, uint32_t frames);

 private:
  uint32_t outputRate_;
  std::shared_ptr<MixerState> mixer_;
};

// A device with no output behind it: buffers work and play only as far as
// Render pulls them. For rendering offline and for tests.
class NullSoundDevice : public SoundDevice {
 public:
  explicit NullSoundDevice(uint32_t outputRate = 44100) : SoundDevice(outputRate) {}
  void Render(float* stereo, uint32_t frames) { Mix(stereo, frames); }
};

// The default sound output on PortAudio. Null, with the reason in `error`
// (also logged), when there is no output device or it cannot be started;
// the program then plays silently.
std::unique_ptr<SoundDevice> OpenSoundOutput(std::string* error);

}  // namespace audio
