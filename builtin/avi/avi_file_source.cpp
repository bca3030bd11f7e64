#include "avi/avi_file_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "avi/avi_log.h"
#include "lv/lorvane_interface.h"
#include "platform/audio/sound_device.h"
#include "platform/gfx/device.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/resources.h"
#include "platform/media/audio_stream_reader.h"
#include "platform/media/video_stream_reader.h"

namespace lv {

namespace {

// Both the direct texture and the staging surface hold the decoder's 32-bit
// pixels; a staging surface is only needed when the texture is larger.
constexpr gfx::Format kDecodedFormat = gfx::Format::A8R8G8B8;

}  // namespace

AviFileSource::AviFileSource() = default;

AviFileSource::~AviFileSource() { Close(); }

int32_t AviFileSource::VolumeToHundredthsOfDb(int32_t volume) {
  const double v = std::clamp(volume, 0, 127);
  return -10000 - static_cast<int32_t>(std::sqrt(v * (1.0 / 127)) * -10000.0);
}

int32_t AviFileSource::PanToHundredthsOfDb(int32_t pan) {
  const int32_t v = std::clamp(pan, 0, 127);
  const double side = v < 64 ? -1.0 : 1.0;
  const double d = std::abs(64 - v) * 0.015625;
  return static_cast<int32_t>(side * (d * d) * 2000.0);
}

bool AviFileSource::Open(const char* name) {
  Close();
  const std::string path = name != nullptr ? name : "";
  if (host == nullptr) {
    AviLog("AVI source: \"%s\" opened without a host", path.c_str());
    return false;
  }
  std::string error;
  video_ = media::OpenVideoStream(path, &error);
  if (!video_) {
    AviLog("AVI source: can't play \"%s\": %s", path.c_str(), error.c_str());
    return false;
  }
  const media::VideoStreamInfo& info = video_->Info();
  // A zero rate or scale would divide by zero; no frames leaves nothing to show.
  if (info.frameRate.num <= 0 || info.frameRate.den <= 0 || info.frameCount <= 0 || info.width <= 0 ||
      info.height <= 0) {
    AviLog("AVI source: \"%s\" has no usable video (%d x %d, %lld frames at %d/%d)", path.c_str(), info.width,
           info.height, static_cast<long long>(info.frameCount), info.frameRate.num, info.frameRate.den);
    Close();
    return false;
  }
  framesPerSecond_ = info.frameRate.ToDouble();
  frameCount_ = info.frameCount;
  frameWidth_ = static_cast<uint32_t>(info.width);
  frameHeight_ = static_cast<uint32_t>(std::abs(info.height));

  auto textureSide = [this](uint32_t n) {
    if (host->IsPowerOfTwo(n)) return n;
    if (host->NonPow2Supported() && powerOfTwo_ == 0) return n;
    return host->TextureSize(n);
  };
  textureWidth_ = textureSide(frameWidth_);
  textureHeight_ = textureSide(frameHeight_);
  texelOffset_[0] = 0.5f / textureWidth_;
  texelOffset_[1] = 0.5f / textureHeight_;
  texelOffset_[2] = 1.0f + 0.5f / textureWidth_;
  texelOffset_[3] = 1.0f + 0.5f / textureHeight_;
  playTimeMs_ = 0;
  nextFrame_ = 0;

  media::AudioOpenResult audioResult = media::AudioOpenResult::Failed;
  audio_ = media::OpenAudioStream(path, &audioResult, &error);
  if (audioResult == media::AudioOpenResult::NoAudioStream) return true;
  if (!audio_) {
    AviLog("AVI source: can't read the sound of \"%s\": %s", path.c_str(), error.c_str());
    Close();
    return false;
  }
  const media::AudioStreamInfo& sound = audio_->Info();
  if (sound.sampleRate <= 0 || sound.blockAlign <= 0 || sound.length <= 0) {
    // Nothing to play: the picture still runs.
    AviLog("AVI source: the sound of \"%s\" is empty, playing silently", path.c_str());
    audio_.reset();
    return true;
  }
  audioClock_ = 0;
  audioClockRest_ = 0;
  readPosition_ = 0;
  writePosition_ = 0;
  audioLength_ = sound.length;
  sampleRate_ = static_cast<uint32_t>(sound.sampleRate);
  // Whole blocks of all channels, so every write stays aligned and the lead
  // of a quarter second holds for stereo as for mono.
  bytesPerSample_ = static_cast<uint32_t>(sound.blockAlign);
  chunkBytes_ = std::max<uint32_t>(1, sampleRate_ / 4) * bytesPerSample_;
  readBuffer_.assign(chunkBytes_, 0);
  return true;
}

bool AviFileSource::GetInfo(SourceInfo* info) {
  if (!video_ || info == nullptr) return false;
  info->width = frameWidth_;
  info->height = frameHeight_;
  info->format = static_cast<uint32_t>(kDecodedFormat);
  return true;
}

void AviFileSource::SetVolume(int32_t volume) {
  volume_ = volume;
  if (sound_) sound_->SetVolume(VolumeToHundredthsOfDb(volume));
}

void AviFileSource::SetPan(int32_t pan) {
  pan_ = pan;
  if (sound_) sound_->SetPan(PanToHundredthsOfDb(pan));
}

bool AviFileSource::Attach(uint8_t) {
  if (!video_) return false;
  // A second Attach without Detach starts over rather than leaking.
  ReleaseSound();
  ReleaseTextures();
  if (audio_) StartSound();

  if (textureWidth_ == frameWidth_ && textureHeight_ == frameHeight_) {
    texture_ = host->CreateTexture(textureWidth_, textureHeight_, kDecodedFormat, gfx::usage::Dynamic,
                                   gfx::Pool::Default);
  } else {
    staging_ = host->CreateOffscreenSurface(frameWidth_, frameHeight_, kDecodedFormat, gfx::Pool::Default);
    if (staging_ != nullptr) {
      texture_ = host->CreateTexture(textureWidth_, textureHeight_, kDecodedFormat, gfx::usage::RenderTarget,
                                     gfx::Pool::Default);
    }
  }
  if (texture_ == nullptr) {
    Detach();
    return false;
  }
  return true;
}

bool AviFileSource::StartSound() {
  audio::SoundDevice* device = host->GetDirectSound();
  if (device == nullptr) return false;
  audio::SoundBufferDesc desc;
  desc.bufferBytes = 2 * chunkBytes_;
  desc.format.formatTag = 1;
  desc.format.channels = static_cast<uint16_t>(audio_->Info().channels);
  desc.format.samplesPerSec = sampleRate_;
  desc.format.avgBytesPerSec = sampleRate_ * bytesPerSample_;
  desc.format.blockAlign = static_cast<uint16_t>(bytesPerSample_);
  desc.format.bitsPerSample = static_cast<uint16_t>(audio_->Info().bitsPerSample);
  audio::SoundResult result;
  sound_ = device->CreateSoundBuffer(desc, &result);
  if (!sound_) {
    AviLog("AVI source: no sound buffer (%d channels at %u Hz), playing silently", desc.format.channels,
           sampleRate_);
    return false;
  }
  soundActive_ = 1;
  writePosition_ = 0;
  silenceWritten_ = 0;
  StreamAudio(chunkBytes_ / bytesPerSample_);
  SetVolume(volume_);
  SetPan(pan_);
  sound_->SetCurrentPosition(0);
  sound_->Play(true);
  return true;
}

void AviFileSource::StreamAudio(int64_t samples) {
  samples = std::clamp<int64_t>(samples, 0, chunkBytes_ / bytesPerSample_);
  uint8_t* out = readBuffer_.data();
  int64_t got = 0;
  if (readPosition_ < audioLength_ || loop_ != 0) {
    const int64_t start = readPosition_ % audioLength_;
    got = std::max<int64_t>(0, audio_->Read(start, samples, out));
    readPosition_ += got;
    if (loop_ != 0 && got < samples && start + got >= audioLength_) {
      const int64_t more = std::max<int64_t>(0, audio_->Read(0, samples - got, out + got * bytesPerSample_));
      readPosition_ += more;
      got += more;
    }
  }
  // A short read is padded with silence, so the writer keeps its lead.
  std::memset(out + got * bytesPerSample_, 0, static_cast<size_t>((samples - got) * bytesPerSample_));
  WriteSound(out, static_cast<uint32_t>(samples * bytesPerSample_));
}

void AviFileSource::WriteSound(const uint8_t* bytes, uint32_t count) {
  if (!sound_ || count == 0) return;
  void* first = nullptr;
  void* second = nullptr;
  uint32_t firstBytes = 0, secondBytes = 0;
  audio::SoundResult r = sound_->Lock(writePosition_, count, &first, &firstBytes, &second, &secondBytes);
  if (r == audio::SoundResult::BufferLost) {
    if (sound_->Restore() != audio::SoundResult::Ok) return;
    r = sound_->Lock(writePosition_, count, &first, &firstBytes, &second, &secondBytes);
  }
  if (r != audio::SoundResult::Ok) return;
  std::memcpy(first, bytes, firstBytes);
  if (second != nullptr) std::memcpy(second, bytes + firstBytes, secondBytes);
  writePosition_ += count;
  if (writePosition_ >= sound_->Size()) writePosition_ -= sound_->Size();
  sound_->Unlock(first, firstBytes, second, secondBytes);
}

void AviFileSource::StepAudio(uint32_t milliseconds) {
  if (soundActive_ == 0 || !sound_ || !audio_) return;
  // The remainder is carried, or the clock would fall behind the picture by
  // a fraction of a sample every frame.
  const uint64_t elapsed = audioClockRest_ + uint64_t{sampleRate_} * milliseconds;
  audioClock_ += static_cast<int64_t>(elapsed / 1000);
  audioClockRest_ = elapsed % 1000;

  const int64_t lead = audioClock_ + chunkBytes_ / bytesPerSample_;
  if (readPosition_ < audioLength_ || loop_ != 0) {
    if (readPosition_ < lead) StreamAudio(lead - readPosition_);
  } else if (silenceWritten_ < sound_->Size()) {
    // The sound has ended: clear the ring so its last chunks don't repeat.
    StreamAudio(chunkBytes_ / bytesPerSample_);
    silenceWritten_ += chunkBytes_;
  }
  if (audioClock_ > audioLength_) {
    if (loop_ != 0) {
      audioClock_ -= audioLength_;
      readPosition_ = std::max<int64_t>(0, readPosition_ - audioLength_);
    } else {
      audioClock_ = readPosition_ = audioLength_;
    }
  }
}

bool AviFileSource::DecodeFrame(int64_t index, bool* locked, void** bits, int32_t* pitch) {
  if (!*locked) {
    gfx::LockedRect rect;
    const gfx::Result r = staging_ != nullptr ? staging_->LockRect(&rect, nullptr, gfx::lock::Discard)
                                              : texture_->LockRect(0, &rect, nullptr, gfx::lock::Discard);
    if (gfx::Failed(r)) return false;
    *locked = true;
    *bits = rect.bits;
    *pitch = rect.pitch;
  }
  return video_->ReadFrame(index, static_cast<uint8_t*>(*bits), *pitch, media::PixelOrder::BGRX);
}

bool AviFileSource::Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) {
  bool wrappedNow = false, decoded = false;
  if (wrapped) *wrapped = false;
  if (newFrame) *newFrame = false;
  if (texture_ == nullptr || !video_) return false;

  bool locked = false;
  void* bits = nullptr;
  int32_t pitch = 0;
  int64_t target = 0;
  if (milliseconds == 0) {
    // Past the end (loop off, retriggered without a restart) the last frame stays.
    decoded |= DecodeFrame(std::min(nextFrame_, frameCount_ - 1), &locked, &bits, &pitch);
  } else {
    playTimeMs_ += milliseconds;
    target = static_cast<int64_t>(static_cast<double>(playTimeMs_) * framesPerSecond_ * 0.001 + 0.5);
    if (target >= frameCount_) {
      wrappedNow = true;
      if (loop_ != 0) {
        target = 0;
        playTimeMs_ = 0;
      } else if (soundActive_ != 0 && sound_) {
        sound_->Stop();
      }
    }
    if (target < nextFrame_) {
      nextFrame_ = 0;
      decoded |= DecodeFrame(0, &locked, &bits, &pitch);
    }
    StepAudio(milliseconds);
  }
  // Every frame up to the target is decoded in order: skipping one would
  // break the decoder's chain of frames after a key frame.
  while (nextFrame_ < target && nextFrame_ < frameCount_) {
    decoded |= DecodeFrame(nextFrame_, &locked, &bits, &pitch);
    ++nextFrame_;
  }
  if (locked) {
    if (staging_ != nullptr) {
      staging_->UnlockRect();
    } else {
      texture_->UnlockRect(0);
    }
  }
  if (wrapped) *wrapped = wrappedNow;
  if (newFrame) *newFrame = decoded;
  if (decoded && staging_ != nullptr) {
    gfx::Surface* level = nullptr;
    if (gfx::Failed(texture_->GetSurfaceLevel(0, &level)) || level == nullptr) return false;
    texture_->GetDevice()->StretchRect(staging_, nullptr, level, nullptr, gfx::Filter::Linear);
    level->Release();
  }
  return true;
}

void AviFileSource::Restart() {
  playTimeMs_ = 0;
  nextFrame_ = 0;
  audioClock_ = 0;
  audioClockRest_ = 0;
  readPosition_ = 0;
  writePosition_ = 0;
  silenceWritten_ = 0;
  // A playing buffer starts over from the new data; left running, it would
  // play stale sound and then the clip at whatever lag the cursor had.
  if (sound_ && audio_) {
    sound_->Stop();
    StreamAudio(chunkBytes_ / bytesPerSample_);
    sound_->SetCurrentPosition(0);
    if (soundActive_ != 0) sound_->Play(true);
  }
}

void AviFileSource::Detach() {
  ReleaseSound();
  ReleaseTextures();
}

void AviFileSource::ReleaseSound() {
  if (sound_) {
    sound_->Stop();
    sound_.reset();
    soundActive_ = 0;
  }
}

void AviFileSource::ReleaseTextures() {
  if (texture_ != nullptr) texture_->Release();
  if (staging_ != nullptr) staging_->Release();
  texture_ = nullptr;
  staging_ = nullptr;
}

void AviFileSource::Close() {
  ReleaseTextures();
  ReleaseSound();
  video_.reset();
  audio_.reset();
  readBuffer_.clear();
  audioLength_ = 0;
  frameCount_ = 0;
}

}  // namespace lv
