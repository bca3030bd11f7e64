#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "audio/spectrum.h"
#include "platform/audio/wave_in.h"

// A compatible input device found at start-up.
struct AudioInputDevice {
  std::string name;  // product name, at most 31 characters
  uint32_t id = 0;   // index in the wave-input device list
};

// The sound input that modulates the show: a 1024-value spectrum, six band
// levels and a beat flag. The device fills buffers on its own thread; the
// render thread analyses them at the start of each pass (Process). The
// results are written by the render thread only and read without a lock.
class AudioInput {
 public:
  static constexpr int kSpectrumLength = Spectrum::kOutputLength;
  static constexpr int kNumBands = 6;
  static constexpr int kBufferCount = 6;
  static constexpr uint32_t kBufferBytes = 2048;  // 512 stereo 16-bit frames
  static constexpr int kRingLength = 2048;
  static constexpr int kHistoryLength = 128;

  explicit AudioInput(audio::WaveInDevices& devices);
  ~AudioInput();
  AudioInput(const AudioInput&) = delete;
  AudioInput& operator=(const AudioInput&) = delete;

  // Start-up: lists the compatible devices, builds the analyser, clears the
  // spectrum and allows analysis.
  void FindDevices();
  const std::vector<AudioInputDevice>& Devices() const { return devices_; }
  const AudioInputDevice* FirstDevice() const { return devices_.empty() ? nullptr : &devices_[0]; }

  // Closes the open device, if any, then opens `device` (null: none).
  // Waits for a pass that is analysing to finish before closing. Called on
  // the user-interface thread.
  void Open(const AudioInputDevice* device);
  bool IsOpen() const { return openDevice_.has_value(); }
  // Called once for an open device that goes away (its JACK server stopped),
  // with its name, on a thread of the sound system's; the device stays open
  // but silent until it is closed. Set before Open.
  void SetLostHandler(std::function<void(const std::string&)> lost) { lostHandler_ = std::move(lost); }
  // Whether passes take buffers now (false from the start of a close).
  bool IsProcessing() const { return processing_; }

  // Shutdown: stops analysis, closes the input, frees the analyser.
  void Shutdown();

  // Render thread, at the start of every pass: analyses every buffer the
  // device has returned, oldest first.
  void Process();

  // Bass peak into the beat history, levels and beat from it; run after
  // each transform.
  void UpdateLevels();

  // Results.
  const float* GetSpectrum() const { return spectrum_.data(); }
  // Capture playback loads recorded spectra here (render thread).
  float* SpectrumBlock() { return spectrum_.data(); }
  int GetSpectrumLength() const { return kSpectrumLength; }
  uint8_t GetBeat() const { return beat_.load(std::memory_order_relaxed); }
  float GetLevel() const { return GetBandLevel(0); }
  // 0 for a band outside 0..5.
  float GetBandLevel(int band) const {
    return band >= 0 && band < kNumBands ? levels_[band].load(std::memory_order_relaxed) : 0.0f;
  }
  int GetNumBands() const { return kNumBands; }

  // The analyser's input, for inspection.
  const float* SampleRing() const { return ring_.data(); }
  int RingWritePosition() const { return ringPos_; }
  const Spectrum& Analyser() const { return analyser_; }

 private:
  struct AudioBuffer;
  // Buffers in the order they were appended; a buffer is in one list at most.
  struct BufferList {
    AudioBuffer* head = nullptr;
    AudioBuffer* tail = nullptr;
    int count = 0;
    void Append(AudioBuffer* buffer);
    void Unlink(AudioBuffer* buffer);
    AudioBuffer* PopHead();
  };

  void Close();
  void OnWaveIn(audio::WaveHeader* header);
  void Queue(AudioBuffer* buffer);
  void Requeue(AudioBuffer* buffer);
  void Mix(const AudioBuffer& buffer);
  void FreeBuffers();

  audio::WaveInDevices& waveInDevices_;
  std::vector<AudioInputDevice> devices_;
  std::optional<AudioInputDevice> openDevice_;
  std::unique_ptr<audio::WaveIn> waveIn_;
  std::function<void(const std::string&)> lostHandler_;

  // The audio lock guards the two lists only, never a device call (lock
  // order: platform/gfx/device_lock.h).
  std::mutex audioLock_;
  BufferList inFlight_;  // with the device
  BufferList filled_;    // returned, waiting for the render thread
  std::vector<std::unique_ptr<AudioBuffer>> buffers_;  // owns all six, in a list or not

  // Held by a pass while it analyses; closing takes it to wait for the pass.
  std::mutex passLock_;
  std::atomic<bool> processing_{false};

  // Render thread only.
  Spectrum analyser_;
  std::array<float, kRingLength> ring_{};
  int ringPos_ = 0;
  std::array<float, kSpectrumLength> spectrum_{};
  std::array<float, kHistoryLength> history_{};
  int historyPos_ = 0;
  std::array<float, 4> memory_{};  // smoothing memory a0..a3
  int memoryIndex_ = 0;

  // Written by the render thread, read by any thread.
  std::array<std::atomic<float>, kNumBands> levels_{};
  std::atomic<uint8_t> beat_{0};
};
