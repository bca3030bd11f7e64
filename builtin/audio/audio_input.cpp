#include "audio/audio_input.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/audio/audio_log.h"

using audio::Log;

namespace {

// 16-bit formats at 22.05 or 44.1 kHz, mono or stereo.
constexpr uint32_t kCompatibleFormats =
    audio::kFormat2M16 | audio::kFormat2S16 | audio::kFormat4M16 | audio::kFormat4S16;

constexpr float kMixScale = 3.0517578125e-05f;  // 1/32768

// How long a close waits for the device to hand back its buffers.
constexpr auto kReturnPoll = std::chrono::milliseconds(10);
constexpr int kReturnPollLimit = 200;

int16_t Sample(const uint8_t* p) { return static_cast<int16_t>(p[0] | p[1] << 8); }

}  // namespace

struct AudioInput::AudioBuffer {
  AudioBuffer* prev = nullptr;
  AudioBuffer* next = nullptr;
  audio::WaveHeader header;
  uint8_t data[kBufferBytes] = {};
};

void AudioInput::BufferList::Append(AudioBuffer* buffer) {
  buffer->prev = tail;
  buffer->next = nullptr;
  (tail ? tail->next : head) = buffer;
  tail = buffer;
  ++count;
}

void AudioInput::BufferList::Unlink(AudioBuffer* buffer) {
  (buffer->prev ? buffer->prev->next : head) = buffer->next;
  (buffer->next ? buffer->next->prev : tail) = buffer->prev;
  buffer->prev = buffer->next = nullptr;
  --count;
}

AudioInput::AudioBuffer* AudioInput::BufferList::PopHead() {
  AudioBuffer* buffer = head;
  if (buffer) Unlink(buffer);
  return buffer;
}

AudioInput::AudioInput(audio::WaveInDevices& devices) : waveInDevices_(devices) {}

AudioInput::~AudioInput() { Shutdown(); }

void AudioInput::FindDevices() {
  devices_.clear();
  const uint32_t count = waveInDevices_.GetNumDevs();
  for (uint32_t id = 0; id < count; ++id) {
    audio::WaveInCaps caps;
    if (!waveInDevices_.GetDevCaps(id, &caps)) continue;
    std::string name = caps.productName.substr(0, audio::kMaxProductName);
    if (caps.formats & kCompatibleFormats) {
      devices_.push_back({name, id});
      Log("Found compatible audio input device: %s", name.c_str());
    } else {
      Log("Found incompatible audio input device: %s", name.c_str());
    }
  }
  analyser_.Init();
  spectrum_.fill(0.0f);
  processing_ = true;
}

void AudioInput::Open(const AudioInputDevice* device) {
  if (openDevice_) Close();
  if (!device) return;

  // No pass may take a buffer of the new device before it runs.
  processing_ = false;
  { std::lock_guard pass(passLock_); }

  Log("Attempting to open audio input...");
  audio::WaveFormat format;  // PCM, 2 channels, 44100 Hz, 16 bits
  waveIn_ = waveInDevices_.Open(device->id, format,
                                [this](audio::WaveHeader* header) { OnWaveIn(header); });
  if (!waveIn_) {
    Log("Audio input failed to open.");
    return;
  }
  Log("Audio input opened.");
  for (int i = 0; i < kBufferCount; ++i) {
    auto buffer = std::make_unique<AudioBuffer>();
    buffer->header.data = buffer->data;
    buffer->header.bufferLength = kBufferBytes;
    buffer->header.user = buffer.get();
    Queue(buffer.get());
    buffers_.push_back(std::move(buffer));
  }
  if (!waveIn_->Start()) {
    Log("Audio input failed to start.");
    // Nothing counts as open, so hand back and free what was made.
    waveIn_->Reset();
    waveIn_.reset();
    FreeBuffers();
    return;
  }
  openDevice_ = *device;
  const std::string name = device->name;
  waveIn_->OnLost([this, name] {
    Log("Device lost: audio input %s", name.c_str());
    if (lostHandler_) lostHandler_(name);
  });
  processing_ = true;
}

void AudioInput::Close() {
  Log("Shutting down audio input...");
  processing_ = false;
  // A pass that took a buffer before the flag cleared may still hand it
  // back to the device; wait for it, so that nothing is queued after the
  // reset below (such a buffer would never return).
  { std::lock_guard pass(passLock_); }

  waveIn_->Reset();
  for (int polls = 0;; ++polls) {
    int kept;
    {
      std::lock_guard lock(audioLock_);
      kept = inFlight_.count;
    }
    if (kept == 0) break;
    if (polls == kReturnPollLimit) {
      // Closing the device below still ends every use of the buffers.
      Log("Audio input: the device kept %d buffers; closing anyway.", kept);
      break;
    }
    std::this_thread::sleep_for(kReturnPoll);
  }
  waveIn_.reset();  // after this the device touches no buffer
  FreeBuffers();
  openDevice_.reset();
  Log("Audio input shut down.");
}

void AudioInput::FreeBuffers() {
  {
    std::lock_guard lock(audioLock_);
    inFlight_ = {};
    filled_ = {};
  }
  buffers_.clear();
}

void AudioInput::Shutdown() {
  processing_ = false;
  Open(nullptr);
  analyser_.Free();
}

void AudioInput::OnWaveIn(audio::WaveHeader* header) {
  auto* buffer = static_cast<AudioBuffer*>(header->user);
  std::lock_guard lock(audioLock_);
  inFlight_.Unlink(buffer);
  filled_.Append(buffer);
}

void AudioInput::Queue(AudioBuffer* buffer) {
  {
    std::lock_guard lock(audioLock_);
    inFlight_.Append(buffer);
  }
  waveIn_->AddBuffer(&buffer->header);
}

void AudioInput::Requeue(AudioBuffer* buffer) {
  {
    // A stopping device would keep the buffer for ever: it stays in
    // neither list and is freed with the others.
    std::lock_guard lock(audioLock_);
    if (!processing_) return;
    inFlight_.Append(buffer);
  }
  waveIn_->AddBuffer(&buffer->header);
}

void AudioInput::Process() {
  std::lock_guard pass(passLock_);
  while (processing_) {
    AudioBuffer* buffer;
    {
      std::lock_guard lock(audioLock_);
      buffer = filled_.PopHead();
    }
    if (!buffer) return;
    Mix(*buffer);
    analyser_.Transform(ring_.data(), spectrum_.data());
    UpdateLevels();
    Requeue(buffer);
  }
}

void AudioInput::Mix(const AudioBuffer& buffer) {
  const uint32_t frames = std::min(buffer.header.bytesRecorded, kBufferBytes) / 4;
  for (uint32_t i = 0; i < frames; ++i) {
    const uint8_t* frame = buffer.data + 4 * i;
    ring_[ringPos_] = static_cast<float>(Sample(frame) + Sample(frame + 2)) * kMixScale;
    ringPos_ = (ringPos_ + 1) & (kRingLength - 1);
  }
}

void AudioInput::UpdateLevels() {
  // Bins 5-10, about 108-215 Hz: the kick and the bass.
  float peak = 0.0f;
  for (int i = 5; i <= 10; ++i) peak = std::max(peak, spectrum_[i]);
  history_[historyPos_] = peak;

  float sum = 0.0f;
  for (float h : history_) sum += h;
  const float average = sum * 0.015625f;  // twice the mean

  uint8_t beat = 0;
  float ratio = 0.0f;
  if (average > 0.0001f) {
    beat = peak > average;
    ratio = peak / average;
  }

  const float previous = levels_[0].load(std::memory_order_relaxed);
  memory_[0] = previous * 0.5f;
  for (int i = 1; i <= 3; ++i) memory_[i] *= 0.75f;
  memory_[memoryIndex_ + 1] = previous;
  memoryIndex_ = (memoryIndex_ + 1) % 3;

  const float level0 = ratio;
  const float level1 = (memory_[0] + ratio) * 0.5f;
  const float level2 = (memory_[1] + memory_[2] + memory_[3] + ratio) * 0.25f;
  historyPos_ = (historyPos_ + 1) & (kHistoryLength - 1);
  const float levels[kNumBands] = {level0, level1, level2, 1.0f - level0, 1.0f - level1, 1.0f - level2};
  for (int i = 0; i < kNumBands; ++i) levels_[i].store(levels[i], std::memory_order_relaxed);
  beat_.store(beat, std::memory_order_relaxed);
}
