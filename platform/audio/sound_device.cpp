// The mixer behind every sound output. One lock guards the buffers' rings and
// settings, so the output thread never reads a ring while a caller writes it.
#include "platform/audio/sound_device.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace audio {

struct BufferState {
  SoundFormat format;
  std::vector<uint8_t> ring;
  std::vector<uint8_t> staging;  // what Lock hands out; copied in at Unlock
  uint32_t lockOffset = 0;
  bool locked = false;
  int32_t volume = kVolumeMax;
  int32_t pan = 0;
  double position = 0;  // in blocks, fractional between output samples
  bool playing = false;
  bool looping = false;
};

struct MixerState {
  std::mutex mutex;
  std::vector<BufferState*> buffers;
};

float VolumeGain(int32_t hundredthsOfDb) {
  if (hundredthsOfDb <= kVolumeMin) return 0.0f;
  return static_cast<float>(std::pow(10.0, std::min(hundredthsOfDb, kVolumeMax) / 2000.0));
}

void PanGains(int32_t pan, float* left, float* right) {
  pan = std::clamp(pan, kPanLeft, kPanRight);
  *left = pan > 0 ? VolumeGain(-pan) : 1.0f;
  *right = pan < 0 ? VolumeGain(pan) : 1.0f;
}

namespace {

// One channel of one block as -1..1.
float SampleAt(const BufferState& b, uint32_t block, int channel) {
  const uint8_t* p = &b.ring[static_cast<size_t>(block) * b.format.blockAlign];
  if (b.format.bitsPerSample == 8) return (static_cast<int>(p[channel]) - 128) / 128.0f;
  int16_t s;
  std::memcpy(&s, p + 2 * channel, 2);
  return s / 32768.0f;
}

bool FormatSupported(const SoundFormat& f) {
  return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
         (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSec > 0 &&
         f.blockAlign == f.channels * f.bitsPerSample / 8;
}

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<MixerState> mixer, std::shared_ptr<BufferState> state)
    : mixer_(std::move(mixer)), state_(std::move(state)) {
  std::lock_guard lock(mixer_->mutex);
  mixer_->buffers.push_back(state_.get());
}

SoundBuffer::~SoundBuffer() {
  std::lock_guard lock(mixer_->mutex);
  std::erase(mixer_->buffers, state_.get());
}

SoundResult SoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** first, uint32_t* firstBytes, void** second,
                              uint32_t* secondBytes) {
  std::lock_guard lock(mixer_->mutex);
  BufferState& b = *state_;
  const uint32_t size = static_cast<uint32_t>(b.ring.size());
  if (b.locked || offset >= size || bytes == 0 || bytes > size || !first || !firstBytes) {
    return SoundResult::InvalidParam;
  }
  b.staging.resize(bytes);
  b.lockOffset = offset;
  b.locked = true;
  const uint32_t head = std::min(bytes, size - offset);
  *first = b.staging.data();
  *firstBytes = head;
  if (second) *second = head < bytes ? b.staging.data() + head : nullptr;
  if (secondBytes) *secondBytes = bytes - head;
  return SoundResult::Ok;
}

SoundResult SoundBuffer::Unlock(void*, uint32_t firstBytes, void*, uint32_t secondBytes) {
  std::lock_guard lock(mixer_->mutex);
  BufferState& b = *state_;
  if (!b.locked) return SoundResult::InvalidParam;
  b.locked = false;
  const size_t size = b.ring.size();
  const size_t bytes = std::min<size_t>(b.staging.size(), size_t{firstBytes} + secondBytes);
  for (size_t i = 0; i < bytes; ++i) b.ring[(b.lockOffset + i) % size] = b.staging[i];
  return SoundResult::Ok;
}

SoundResult SoundBuffer::Restore() { return SoundResult::Ok; }

SoundResult SoundBuffer::SetVolume(int32_t hundredthsOfDb) {
  if (hundredthsOfDb < kVolumeMin || hundredthsOfDb > kVolumeMax) return SoundResult::InvalidParam;
  std::lock_guard lock(mixer_->mutex);
  state_->volume = hundredthsOfDb;
  return SoundResult::Ok;
}

SoundResult SoundBuffer::SetPan(int32_t pan) {
  if (pan < kPanLeft || pan > kPanRight) return SoundResult::InvalidParam;
  std::lock_guard lock(mixer_->mutex);
  state_->pan = pan;
  return SoundResult::Ok;
}

int32_t SoundBuffer::GetVolume() const {
  std::lock_guard lock(mixer_->mutex);
  return state_->volume;
}

int32_t SoundBuffer::GetPan() const {
  std::lock_guard lock(mixer_->mutex);
  return state_->pan;
}

SoundResult SoundBuffer::SetCurrentPosition(uint32_t offset) {
  std::lock_guard lock(mixer_->mutex);
  if (offset >= state_->ring.size()) return SoundResult::InvalidParam;
  state_->position = offset / state_->format.blockAlign;
  return SoundResult::Ok;
}

uint32_t SoundBuffer::GetCurrentPosition() const {
  std::lock_guard lock(mixer_->mutex);
  return static_cast<uint32_t>(state_->position) * state_->format.blockAlign;
}

SoundResult SoundBuffer::Play(bool looping) {
  std::lock_guard lock(mixer_->mutex);
  state_->playing = true;
  state_->looping = looping;
  return SoundResult::Ok;
}

SoundResult SoundBuffer::Stop() {
  std::lock_guard lock(mixer_->mutex);
  state_->playing = false;
  return SoundResult::Ok;
}

bool SoundBuffer::IsPlaying() const {
  std::lock_guard lock(mixer_->mutex);
  return state_->playing;
}

uint32_t SoundBuffer::Size() const { return static_cast<uint32_t>(state_->ring.size()); }
const SoundFormat& SoundBuffer::Format() const { return state_->format; }

SoundDevice::SoundDevice(uint32_t outputRate)
    : outputRate_(outputRate ? outputRate : 44100), mixer_(std::make_shared<MixerState>()) {}

SoundDevice::~SoundDevice() = default;

std::unique_ptr<SoundBuffer> SoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, SoundResult* result) {
  SoundResult ignored;
  SoundResult& r = result ? *result : ignored;
  if (!FormatSupported(desc.format)) {
    r = SoundResult::BadFormat;
    return nullptr;
  }
  if (desc.bufferBytes == 0 || desc.bufferBytes % desc.format.blockAlign != 0) {
    r = SoundResult::InvalidParam;
    return nullptr;
  }
  auto state = std::make_shared<BufferState>();
  state->format = desc.format;
  // Silence until written: 8-bit PCM centres on 128.
  state->ring.assign(desc.bufferBytes, desc.format.bitsPerSample == 8 ? 128 : 0);
  r = SoundResult::Ok;
  return std::unique_ptr<SoundBuffer>(new SoundBuffer(mixer_, std::move(state)));
}

void SoundDevice::Mix(float* out, uint32_t frames) {
  std::fill(out, out + size_t{frames} * 2, 0.0f);
  std::lock_guard lock(mixer_->mutex);
  for (BufferState* b : mixer_->buffers) {
    if (!b->playing) continue;
    const uint32_t blocks = static_cast<uint32_t>(b->ring.size() / b->format.blockAlign);
    const double step = static_cast<double>(b->format.samplesPerSec) / outputRate_;
    float panLeft, panRight;
    PanGains(b->pan, &panLeft, &panRight);
    const float gain = VolumeGain(b->volume);
    const int rightChannel = b->format.channels == 2 ? 1 : 0;
    for (uint32_t i = 0; i < frames; ++i) {
      const uint32_t block = static_cast<uint32_t>(b->position);
      out[2 * i] += SampleAt(*b, block, 0) * gain * panLeft;
      out[2 * i + 1] += SampleAt(*b, block, rightChannel) * gain * panRight;
      b->position += step;
      if (b->position >= blocks) {
        if (!b->looping) {
          b->playing = false;
          b->position = 0;
          break;
        }
        b->position -= blocks;
      }
    }
  }
  for (size_t i = 0; i < size_t{frames} * 2; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

}  // namespace audio
