#include "modulation/lfo.h"

#include <atomic>
#include <cmath>

namespace lv {
namespace {

// Drawn by the live LFOs on the render thread.
std::atomic<uint32_t> randomSeed{0};

// The shared generator, one draw at a time.
struct SharedRandom {
  uint32_t Next() { return Lfo::NextRandom(); }
};

// Whole cycles are dropped with floor, so a negative rate or phase still
// leaves the phase in [0, 1) and the waveform in its range.
float Fraction(float cycles) { return cycles - std::floor(cycles); }

template <class Generator>
float RandomUnit(Generator& random) {
  return static_cast<float>(random.Next()) * 2.0f / 32767.0f - 1.0f;
}

template <class Generator>
void AdvanceWith(Lfo& lfo, uint32_t milliseconds, Generator& random) {
  using enum Lfo::Type;
  const float t = static_cast<float>(milliseconds);
  const float a = t * lfo.rate * 0.001f + lfo.accumulator;
  const float p = Fraction(a + lfo.phase);
  switch (lfo.type) {
    case Saw: lfo.output = 2.0f * lfo.scale * (p - 0.5f) + lfo.offset; break;
    case ReverseSaw: lfo.output = 2.0f * lfo.scale * (0.5f - p) + lfo.offset; break;
    case Triangle:
      lfo.output = p < 0.5f ? (4.0f * p - 1.0f) * lfo.scale + lfo.offset
                            : (1.0f - 4.0f * (p - 0.5f)) * lfo.scale + lfo.offset;
      break;
    case Square: lfo.output = p < lfo.parm ? lfo.offset - lfo.scale : lfo.offset + lfo.scale; break;
    case Sine: lfo.output = std::sin(p * 6.2831855f) * lfo.scale + lfo.offset; break;
    case Random:
      if (a >= 1.0f) lfo.output = RandomUnit(random) * lfo.scale + lfo.offset;
      break;
    case SmoothRand: {
      const float u = static_cast<float>(random.Next());
      if (u / 32767.0f >= 1.0f - lfo.phase) lfo.target = RandomUnit(random) * lfo.scale + lfo.offset;
      Lfo::HermiteStep(lfo.slope, lfo.output, lfo.target, t * 0.001f * lfo.rate);
      break;
    }
    case Brownian: {
      // A random walk per advance, independent of the elapsed time.
      float output = lfo.output + RandomUnit(random) * lfo.rate * 0.1f;
      if (output > lfo.offset + lfo.scale) output = lfo.offset + lfo.scale;
      if (output < lfo.offset - lfo.scale) output = lfo.offset - lfo.scale;
      lfo.output = output;
      break;
    }
    default: break;
  }
  lfo.accumulator = Fraction(a);
}

}  // namespace

LfoArray LfoTable{};

uint32_t Lfo::NextRandom() {
  LfoRandom random(randomSeed.load(std::memory_order_relaxed));
  const uint32_t value = random.Next();
  randomSeed.store(random.Seed(), std::memory_order_relaxed);
  return value;
}

void Lfo::SetRandomSeed(uint32_t seed) { randomSeed.store(seed, std::memory_order_relaxed); }

void Lfo::HermiteStep(float& slope, float& value, float target, float d) {
  const float s = slope;
  const float v = value;
  const float c2 = 3.0f * (target - v) - 2.0f * s;
  const float c3 = s - 2.0f * (target - v);
  value = v + s * d + c2 * d * d + c3 * d * d * d;
  slope = s + 2.0f * c2 * d + 3.0f * c3 * d * d;
}

void Lfo::Advance(Lfo& lfo, uint32_t milliseconds) {
  SharedRandom random;
  AdvanceWith(lfo, milliseconds, random);
}

void Lfo::Advance(Lfo& lfo, uint32_t milliseconds, LfoRandom& random) { AdvanceWith(lfo, milliseconds, random); }

const char* Lfo::TypeName(int32_t type) {
  static constexpr const char* kNames[kTypeCount] = {"Saw",  "Reverse Saw", "Triangle",   "Square",
                                                     "Sine", "Random",      "SmoothRand", "Brownian"};
  return type >= 0 && type < kTypeCount ? kNames[type] : nullptr;
}

void SetDefaultLfos(LfoArray& lfos) {
  for (int i = 0; i < kLfoCount; ++i) {
    Lfo& lfo = lfos[static_cast<size_t>(i)];
    lfo.type = (i < 20 && i % 2 == 0) ? Lfo::Saw : i / 20 + 1;
    if (lfo.type == Lfo::Random)
      lfo.rate = static_cast<float>(i % 20) + 1.0f;
    else if (lfo.type == Lfo::Square)
      lfo.rate = static_cast<float>(i % 10) * 0.2f + 0.5f;
    else
      lfo.rate = static_cast<float>(i % 20) * 0.05f + 0.05f;
    lfo.scale = static_cast<float>(i % 5) * 0.2f + 0.2f;
  }
}

}  // namespace lv
