#pragma once
// A wave-input device driven by the test, with the habits of a real
// driver: buffers added after a reset stay queued on the stopped device and
// never come back by themselves.
#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/audio/wave_in.h"

struct FakeDeviceState {
  std::mutex mutex;
  std::mutex deliverMutex;  // held through a delivery; closing waits for it
  std::deque<audio::WaveHeader*> queue;
  bool open = false;
  bool running = false;
  bool wasReset = false;
  int addedAfterReset = 0;  // buffers a stopped device will never return
  int heldAtClose = 0;      // buffers still queued when the device closed
  std::function<void()> onAddBuffer;  // runs first in every AddBuffer
  audio::WaveInCallback callback;

  // Fills the oldest queued buffer with `bytes` (recorded length = its size,
  // cut to the buffer) and returns it. False when nothing is queued or the
  // device is stopped.
  bool ReturnNext(const std::vector<uint8_t>& bytes) {
    std::lock_guard delivering(deliverMutex);
    audio::WaveHeader* header;
    audio::WaveInCallback returnTo;
    {
      std::lock_guard lock(mutex);
      if (!running || queue.empty()) return false;
      header = queue.front();
      queue.pop_front();
      returnTo = callback;
    }
    uint32_t n = std::min<uint32_t>(static_cast<uint32_t>(bytes.size()), header->bufferLength);
    if (n) std::memcpy(header->data, bytes.data(), n);
    header->bytesRecorded = n;
    returnTo(header);
    return true;
  }
  size_t Queued() {
    std::lock_guard lock(mutex);
    return queue.size();
  }
};

class FakeWaveIn : public audio::WaveIn {
 public:
  explicit FakeWaveIn(FakeDeviceState& state, bool failStart) : state_(state), failStart_(failStart) {}
  ~FakeWaveIn() override {
    std::lock_guard delivering(state_.deliverMutex);
    std::lock_guard lock(state_.mutex);
    state_.heldAtClose += static_cast<int>(state_.queue.size());
    state_.queue.clear();
    state_.open = false;
    state_.running = false;
  }
  void AddBuffer(audio::WaveHeader* header) override {
    if (state_.onAddBuffer) state_.onAddBuffer();
    std::lock_guard lock(state_.mutex);
    if (state_.wasReset) ++state_.addedAfterReset;
    state_.queue.push_back(header);
  }
  bool Start() override {
    if (failStart_) return false;
    std::lock_guard lock(state_.mutex);
    state_.running = true;
    return true;
  }
  void Reset() override {
    std::deque<audio::WaveHeader*> returned;
    audio::WaveInCallback returnTo;
    {
      std::lock_guard lock(state_.mutex);
      state_.running = false;
      state_.wasReset = true;
      returned.swap(state_.queue);
      returnTo = state_.callback;
    }
    for (audio::WaveHeader* h : returned) {
      h->bytesRecorded = 0;
      returnTo(h);
    }
  }

 private:
  FakeDeviceState& state_;
  bool failStart_;
};

class FakeWaveInDevices : public audio::WaveInDevices {
 public:
  struct Entry {
    audio::WaveInCaps caps;
    bool capsFail = false;
  };
  std::vector<Entry> entries;
  bool failOpen = false;
  bool failStart = false;
  FakeDeviceState state;
  int opens = 0;

  uint32_t GetNumDevs() override { return static_cast<uint32_t>(entries.size()); }
  bool GetDevCaps(uint32_t id, audio::WaveInCaps* caps) override {
    if (id >= entries.size() || entries[id].capsFail) return false;
    *caps = entries[id].caps;
    return true;
  }
  std::unique_ptr<audio::WaveIn> Open(uint32_t id, const audio::WaveFormat& format,
                                      audio::WaveInCallback callback) override {
    if (failOpen || id >= entries.size() || format.channels != 2 || format.samplesPerSec != 44100 ||
        format.bitsPerSample != 16)
      return nullptr;
    ++opens;
    std::lock_guard lock(state.mutex);
    state.open = true;
    state.wasReset = false;
    state.callback = std::move(callback);
    return std::make_unique<FakeWaveIn>(state, failStart);
  }
};
