#pragma once
// The source that plays an AVI file: its video stream decoded frame by frame
// into a texture in step with the consumer's clock, and its first audio
// stream streamed through a looping sound buffer with volume and pan.
#include <cstdint>
#include <memory>
#include <vector>

#include "lv/source.h"

namespace audio {
class SoundBuffer;
}
namespace gfx {
class Surface;
}
namespace media {
class AudioStreamReader;
class VideoStreamReader;
}  // namespace media

namespace lv {

// {2BE548AA-3C7F-4BD0-8B11-1C25D206DAE3}
inline constexpr ClassId kAviFileSourceClassId = {0x2BE548AA, 0x3C7F, 0x4BD0,
                                                  {0x8B, 0x11, 0x1C, 0x25, 0xD2, 0x06, 0xDA, 0xE3}};
inline constexpr int32_t kAviFileSourceKind = 3;

class AviFileSource final : public Source {
 public:
  AviFileSource();
  ~AviFileSource() override;

  int32_t GetKind() override { return kAviFileSourceKind; }
  const ClassId* GetClassId() override { return &kAviFileSourceClassId; }
  bool CanHoldNote() override { return true; }

  uint8_t SetOption0(uint8_t value) override { return loop_ = value; }
  uint8_t SetOption1(uint8_t value) override { return soundActive_ = value; }
  // Takes effect at the next Open.
  uint8_t SetOption2(uint8_t value) override { return powerOfTwo_ = value; }

  bool Open(const char* name) override;
  bool GetInfo(SourceInfo* info) override;
  uint8_t GetOption() override { return option_; }
  // 0-127; stored, and applied to the sound when it plays.
  void SetVolume(int32_t volume) override;
  void SetPan(int32_t pan) override;

  bool Attach(uint8_t velocity) override;
  gfx::Texture* GetTexture() override { return texture_; }
  const float* GetTexelOffset() override { return texelOffset_; }
  void Detach() override;
  // Closes everything: the source must be opened again afterwards.
  void ReleaseDeviceObjects() override { Close(); }
  void Restart() override;
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

  // The sound units the 0-127 controls map to.
  static int32_t VolumeToHundredthsOfDb(int32_t volume);
  static int32_t PanToHundredthsOfDb(int32_t pan);

  // For tests and diagnostics.
  uint32_t TextureWidth() const { return textureWidth_; }
  uint32_t TextureHeight() const { return textureHeight_; }
  bool UsesStagingSurface() const { return staging_ != nullptr; }
  audio::SoundBuffer* GetSoundBuffer() const { return sound_.get(); }

 private:
  void Close();
  void ReleaseTextures();
  void ReleaseSound();
  // Makes, fills from sample 0 and starts the sound buffer; false leaves the
  // source silent.
  bool StartSound();
  void StepAudio(uint32_t milliseconds);
  // Reads `samples` from P onwards (round to the start when looping) into the
  // read buffer and writes them to the sound buffer, padded with silence.
  void StreamAudio(int64_t samples);
  void WriteSound(const uint8_t* bytes, uint32_t count);
  // Decodes frame `index` into the locked destination, locking it first.
  bool DecodeFrame(int64_t index, bool* locked, void** bits, int32_t* pitch);

  uint8_t loop_ = 1;
  uint8_t soundActive_ = 0;
  uint8_t powerOfTwo_ = 0;
  uint8_t option_ = 0;

  // Video.
  std::unique_ptr<media::VideoStreamReader> video_;
  double framesPerSecond_ = 0;
  int64_t frameCount_ = 0;
  uint32_t frameWidth_ = 0;
  uint32_t frameHeight_ = 0;
  uint32_t textureWidth_ = 0;
  uint32_t textureHeight_ = 0;
  float texelOffset_[4] = {0, 0, 1, 1};
  int64_t playTimeMs_ = 0;
  int64_t nextFrame_ = 0;

  // Audio, positions in sample frames (one sample of every channel).
  std::unique_ptr<media::AudioStreamReader> audio_;
  int64_t audioLength_ = 0;
  uint32_t sampleRate_ = 0;
  uint32_t bytesPerSample_ = 0;
  uint32_t chunkBytes_ = 0;  // a quarter second
  std::vector<uint8_t> readBuffer_;
  int64_t audioClock_ = 0;        // T: samples the picture's time has reached
  uint64_t audioClockRest_ = 0;   // the part of a sample below T, in 1/1000 samples
  int64_t readPosition_ = 0;      // P
  uint32_t writePosition_ = 0;    // W, bytes in the sound buffer
  uint32_t silenceWritten_ = 0;   // bytes of silence written since the sound ran out
  std::unique_ptr<audio::SoundBuffer> sound_;

  int32_t volume_ = 127;
  int32_t pan_ = 64;

  gfx::Texture* texture_ = nullptr;
  gfx::Surface* staging_ = nullptr;
};

}  // namespace lv
