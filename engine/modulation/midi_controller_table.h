#pragma once
// The last value of every MIDI controller of every channel, and the MIDI
// clock count. The Performer's render thread is the only writer; bindings,
// knobs and plug-ins read it from any thread without a lock.
#include <atomic>
#include <cstdint>

namespace lv {

class MidiControllerTable {
 public:
  static constexpr int kChannels = 16;
  static constexpr int kControllers = 128;
  // Controllers 123 and 124 hold the pitch bend's most and least significant
  // 7 bits; real controllers 123-127 (channel mode messages) are never stored.
  static constexpr int kPitchBendHigh = 123;
  static constexpr int kPitchBendLow = 124;

  uint8_t Get(int channel, int controller) const {
    return values_[channel][controller].load(std::memory_order_relaxed);
  }
  void Set(int channel, int controller, uint8_t value) {
    values_[channel][controller].store(value, std::memory_order_relaxed);
  }

  uint32_t Clock() const { return clock_.load(std::memory_order_relaxed); }
  void CountClock() { clock_.store(Clock() + 1, std::memory_order_relaxed); }
  void ResetClock() { clock_.store(0, std::memory_order_relaxed); }

 private:
  std::atomic<uint8_t> values_[kChannels][kControllers]{};
  std::atomic<uint32_t> clock_{0};
};

}  // namespace lv
