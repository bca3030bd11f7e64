// Wave input on PortAudio. PortAudio's stream callback plays the driver:
// it fills the queued buffers in order and hands each full one back.
#include <portaudio.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/audio/audio_log.h"
#include "portaudio_use.h"
#include "platform/audio/wave_in.h"

namespace audio {
namespace {

// Keeps PortAudio initialised while the device list or any open device
// still needs it.
using PortAudioSession = PortAudioUse;

// Buffers waiting to be filled, oldest first. Grows only when more buffers
// are queued at once than ever before, so the steady cycle allocates nothing.
class HeaderQueue {
 public:
  bool empty() const { return count_ == 0; }
  WaveHeader* front() const { return slots_[head_]; }
  void push(WaveHeader* header) {
    if (count_ == slots_.size()) Grow();
    slots_[(head_ + count_) % slots_.size()] = header;
    ++count_;
  }
  WaveHeader* pop() {
    WaveHeader* header = slots_[head_];
    head_ = (head_ + 1) % slots_.size();
    --count_;
    return header;
  }

 private:
  void Grow() {
    std::vector<WaveHeader*> bigger(std::max<size_t>(8, slots_.size() * 2));
    for (size_t i = 0; i < count_; ++i) bigger[i] = slots_[(head_ + i) % slots_.size()];
    slots_ = std::move(bigger);
    head_ = 0;
  }
  std::vector<WaveHeader*> slots_;
  size_t head_ = 0;
  size_t count_ = 0;
};

class PortAudioWaveIn : public WaveIn {
 public:
  PortAudioWaveIn(std::shared_ptr<PortAudioSession> session, PaDeviceIndex device, uint32_t frameBytes,
                  WaveInCallback callback)
      : session_(std::move(session)), device_(device), frameBytes_(frameBytes), callback_(std::move(callback)) {}

  ~PortAudioWaveIn() override {
    if (lostTicket_ != 0) jack::ServerWatch::Instance().Forget(lostTicket_);
    if (!stream_) return;
    if (PortAudioUse::Lost(device_)) {
      // The stream's JACK client died with its server: its process thread
      // has ended, and stopping or closing it would call into the dead
      // client. It is left open; nothing fills the buffers any more.
      Log("Audio: the input's JACK server has gone; its stream is left open");
      return;
    }
    Pa_AbortStream(stream_);
    Pa_CloseStream(stream_);
  }

  void OnLost(std::function<void()> lost) override {
    const jack::ServerLife life = PortAudioUse::JackLife(device_);
    if (life != 0 && lostTicket_ == 0) lostTicket_ = jack::ServerWatch::Instance().OnLost(life, std::move(lost));
  }

  bool OpenStream(const PaStreamParameters& input, double rate) {
    PaError error = Pa_OpenStream(&stream_, &input, nullptr, rate, paFramesPerBufferUnspecified,
                                  paClipOff, &PortAudioWaveIn::StreamCallback, this);
    if (error != paNoError) {
      stream_ = nullptr;
      Log("Audio: PortAudio could not open the input stream: %s", Pa_GetErrorText(error));
      return false;
    }
    return true;
  }

  void AddBuffer(WaveHeader* header) override {
    header->bytesRecorded = 0;
    std::lock_guard lock(queueMutex_);
    queue_.push(header);
  }

  bool Start() override {
    if (PortAudioUse::Lost(device_)) return false;
    if (Pa_IsStreamActive(stream_) == 1) return true;
    PaError error = Pa_StartStream(stream_);
    if (error != paNoError) {
      Log("Audio: PortAudio could not start the input stream: %s", Pa_GetErrorText(error));
      return false;
    }
    return true;
  }

  void Reset() override {
    // Aborting waits for a running stream callback, so nothing fills the
    // buffers once it returns.
    if (!PortAudioUse::Lost(device_) && Pa_IsStreamStopped(stream_) == 0) Pa_AbortStream(stream_);
    for (;;) {
      WaveHeader* header;
      {
        std::lock_guard lock(queueMutex_);
        if (queue_.empty()) break;
        header = queue_.pop();
        header->bytesRecorded = header == headFilling_ ? headFill_ : 0;
        if (header == headFilling_) {
          headFilling_ = nullptr;
          headFill_ = 0;
        }
      }
      callback_(header);
    }
  }

 private:
  static int StreamCallback(const void* input, void*, unsigned long frames,
                            const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* self) {
    static_cast<PortAudioWaveIn*>(self)->Capture(static_cast<const uint8_t*>(input),
                                                 frames * static_cast<PortAudioWaveIn*>(self)->frameBytes_);
    return paContinue;
  }

  // Copies `bytes` of captured sound (null: silence) into the queued buffers;
  // sound that finds no buffer is dropped, as a sound card would.
  void Capture(const uint8_t* input, size_t bytes) {
    while (bytes > 0) {
      WaveHeader* full = nullptr;
      {
        std::lock_guard lock(queueMutex_);
        if (queue_.empty()) return;
        WaveHeader* head = queue_.front();
        if (head != headFilling_) {
          headFilling_ = head;
          headFill_ = 0;
        }
        size_t room = head->bufferLength - headFill_;
        size_t n = std::min(room, bytes);
        if (input) {
          std::memcpy(head->data + headFill_, input, n);
          input += n;
        } else {
          std::memset(head->data + headFill_, 0, n);
        }
        headFill_ += static_cast<uint32_t>(n);
        bytes -= n;
        if (headFill_ == head->bufferLength) {
          head->bytesRecorded = headFill_;
          full = queue_.pop();
          headFilling_ = nullptr;
          headFill_ = 0;
        }
      }
      if (full) callback_(full);
    }
  }

  std::shared_ptr<PortAudioSession> session_;
  PaDeviceIndex device_;
  uint64_t lostTicket_ = 0;
  uint32_t frameBytes_;
  WaveInCallback callback_;
  PaStream* stream_ = nullptr;
  std::mutex queueMutex_;
  HeaderQueue queue_;
  WaveHeader* headFilling_ = nullptr;  // the queue head once filling has begun
  uint32_t headFill_ = 0;
};

class PortAudioWaveInDevices : public WaveInDevices {
 public:
  PortAudioWaveInDevices() : session_(std::make_shared<PortAudioSession>()) {
    if (!session_->ok()) {
      Log("Audio: the sound system is not available (%s); no audio input.", session_->ErrorText());
      return;
    }
    // The default input comes first, so "the first device" is the one the
    // user set up in the sound system.
    PaDeviceIndex defaultInput = Pa_GetDefaultInputDevice();
    PaDeviceIndex count = Pa_GetDeviceCount();
    if (defaultInput != paNoDevice) devices_.push_back({defaultInput, {}});
    for (PaDeviceIndex i = 0; i < count; ++i) {
      const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
      if (i != defaultInput && info && info->maxInputChannels > 0) devices_.push_back({i, {}});
    }
    if (devices_.empty()) Log("Audio: no audio input device found.");
  }

  uint32_t GetNumDevs() override { return static_cast<uint32_t>(devices_.size()); }

  bool GetDevCaps(uint32_t id, WaveInCaps* caps) override {
    if (id >= devices_.size() || PortAudioUse::Lost(devices_[id].index)) return false;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices_[id].index);
    if (!info) return false;
    if (!devices_[id].formats) devices_[id].formats = ProbeFormats(devices_[id].index, *info);
    caps->productName = std::string(info->name).substr(0, kMaxProductName);
    caps->formats = *devices_[id].formats;
    return true;
  }

  std::unique_ptr<WaveIn> Open(uint32_t id, const WaveFormat& format,
                               WaveInCallback callback) override {
    if (id >= devices_.size() || format.bitsPerSample != 16 || format.channels == 0) return nullptr;
    if (PortAudioUse::Lost(devices_[id].index)) {
      Log("Audio: the input device's JACK server has gone");
      return nullptr;
    }
    const PaDeviceInfo* info = Pa_GetDeviceInfo(devices_[id].index);
    if (!info) return nullptr;
    PaStreamParameters input = Parameters(devices_[id].index, *info, format.channels);
    auto waveIn =
        std::make_unique<PortAudioWaveIn>(session_, devices_[id].index, format.BlockAlign(), std::move(callback));
    if (!waveIn->OpenStream(input, format.samplesPerSec)) return nullptr;
    return waveIn;
  }

 private:
  struct Device {
    PaDeviceIndex index;
    std::optional<uint32_t> formats;  // probed on first query: probing opens the device
  };

  static PaStreamParameters Parameters(PaDeviceIndex index, const PaDeviceInfo& info, int channels) {
    PaStreamParameters p{};
    p.device = index;
    p.channelCount = channels;
    p.sampleFormat = paInt16;
    p.suggestedLatency = info.defaultLowInputLatency;
    return p;
  }

  static uint32_t ProbeFormats(PaDeviceIndex index, const PaDeviceInfo& info) {
    struct Probe { double rate; int channels; uint32_t flag; };
    static constexpr Probe kProbes[] = {
        {11025, 1, kFormat1M16}, {11025, 2, kFormat1S16}, {22050, 1, kFormat2M16},
        {22050, 2, kFormat2S16}, {44100, 1, kFormat4M16}, {44100, 2, kFormat4S16},
    };
    uint32_t formats = 0;
    for (const Probe& probe : kProbes) {
      if (probe.channels > info.maxInputChannels) continue;
      PaStreamParameters p = Parameters(index, info, probe.channels);
      if (Pa_IsFormatSupported(&p, nullptr, probe.rate) == paFormatIsSupported) formats |= probe.flag;
    }
    return formats;
  }

  std::shared_ptr<PortAudioSession> session_;
  std::vector<Device> devices_;
};

}  // namespace

std::unique_ptr<WaveInDevices> CreateSystemWaveInDevices() {
  return std::make_unique<PortAudioWaveInDevices>();
}

}  // namespace audio
