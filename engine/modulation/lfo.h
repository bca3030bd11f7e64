#pragma once
// The performance's low-frequency oscillators. The render thread advances the
// table once per pass under the Performer's frame lock; the Options sheet's
// LFOs page and a project being opened write records under the same lock,
// and the knobs read outputs concurrently (single 32-bit fields).
#include <array>
#include <cstdint>

namespace lv {

// The LFOs' random source: seed := seed * 214013 + 2531011 (mod 2^32), and
// bits 16-30 of the seed drawn, 0-32767. The live table shares one; the
// preview control keeps its own, so sampling a curve never disturbs the
// show's random sequence.
class LfoRandom {
 public:
  explicit LfoRandom(uint32_t seed = 0) : seed_(seed) {}
  uint32_t Next() {
    seed_ = seed_ * 214013u + 2531011u;
    return (seed_ >> 16) & 0x7FFF;
  }
  uint32_t Seed() const { return seed_; }

 private:
  uint32_t seed_;
};

struct Lfo {
  enum Type : int32_t { Saw, ReverseSaw, Triangle, Square, Sine, Random, SmoothRand, Brownian };
  static constexpr int kTypeCount = 8;

  int32_t type = Sine;
  float rate = 1.0f;         // cycles per second
  float phase = 0.0f;        // cycles added to the running phase; SmoothRand: chance of a new target
  float parm = 0.5f;         // Square: fraction of the cycle spent low
  float offset = 0.0f;
  float scale = 1.0f;        // half range of the output
  float target = 0.0f;       // SmoothRand: value it glides to
  float slope = 0.0f;        // SmoothRand: rate of change, output units per cycle
  float accumulator = 0.0f;  // running phase in cycles, in [0, 1)
  float output = 0.0f;

  // Advances `lfo` by `milliseconds` and sets its output, drawing from the
  // generator the live LFOs share.
  static void Advance(Lfo& lfo, uint32_t milliseconds);
  // The same, drawing from `random`.
  static void Advance(Lfo& lfo, uint32_t milliseconds, LfoRandom& random);
  // One draw of the generator the live LFOs share: 0-32767.
  static uint32_t NextRandom();
  static void SetRandomSeed(uint32_t seed);
  // One step of SmoothRand's glide: a cubic that would reach `target` with
  // slope 0 after d = 1 cycle, re-planned from the current value and slope.
  static void HermiteStep(float& slope, float& value, float target, float d);
  // "Saw", "Reverse Saw", ...; null for an unknown type.
  static const char* TypeName(int32_t type);
};

inline constexpr int kLfoCount = 100;
using LfoArray = std::array<Lfo, kLfoCount>;

// The live table: LFO n is entry n.
extern LfoArray LfoTable;

// The start-up spread: saws, triangles, squares, sines and randoms at
// graded rates and scales. Leaves phase, offset and the running state alone.
void SetDefaultLfos(LfoArray& lfos = LfoTable);

}  // namespace lv
