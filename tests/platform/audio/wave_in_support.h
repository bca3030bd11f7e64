#pragma once
// Helpers shared by the wave-input tests.
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/audio/wave_in.h"
#include "wav_bytes.h"

namespace wavtest {

// Frame i of a test file holds (i, -i) so positions can be read back.
inline std::vector<int16_t> Ramp(int frames, int channels) {
  std::vector<int16_t> s;
  for (int i = 0; i < frames; ++i) {
    s.push_back(static_cast<int16_t>(i));
    if (channels == 2) s.push_back(static_cast<int16_t>(-i));
  }
  return s;
}

struct Buffer {
  uint8_t data[2048];
  audio::WaveHeader header{data, sizeof data, 0, nullptr};
  int16_t Left(int frame) const { int16_t v; std::memcpy(&v, data + 4 * frame, 2); return v; }
  int16_t Right(int frame) const { int16_t v; std::memcpy(&v, data + 4 * frame + 2, 2); return v; }
};

// Records returned buffers; RealTime delivers them on another thread.
struct Returned {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<audio::WaveHeader*> headers;
  audio::WaveInCallback Callback() {
    return [this](audio::WaveHeader* h) {
      std::lock_guard lock(mutex);
      headers.push_back(h);
      changed.notify_all();
    };
  }
};

}  // namespace wavtest
