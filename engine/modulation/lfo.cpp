#include "modulation/lfo.h"

#include <atomic>
#include <cmath>

namespace lv {
namespace {

// Shared with the preview control on the user-interface thread.
std::atomic<uint32_t> randomSeed{0};

float RandomUnit() { return static_cast<float>(Lfo::NextRandom()) * 2.0f / 32767.0f - 1.0f; }

// Whole cycles are dropped with floor, so a negative rate or phase still
// leaves the phase in [0, 1) and the waveform in its range.
float Fraction(float cycles) { return cycles - std::floor(cycles); }

}  // namespace

LfoArray LfoTable{};

uint32_t Lfo::NextRandom() {
  uint32_t seed = randomSeed.load(std::memory_order_relaxed) * 214013u + 2531011u;
  randomSeed.store(seed, std::memory_order_relaxed);
  return (seed >> 16) & 0x7FFF;
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
      if (a >= 1.0f) lfo.output = RandomUnit() * lfo.scale + lfo.offset;
      break;
    case SmoothRand: {
      const float u = static_cast<float>(NextRandom());
      if (u / 32767.0f >= 1.0f - lfo.phase) lfo.target = RandomUnit() * lfo.scale + lfo.offset;
      HermiteStep(lfo.slope, lfo.output, lfo.target, t * 0.001f * lfo.rate);
      break;
    }
    case Brownian: {
      // A random walk per advance, independent of the elapsed time.
      float output = lfo.output + RandomUnit() * lfo.rate * 0.1f;
      if (output > lfo.offset + lfo.scale) output = lfo.offset + lfo.scale;
      if (output < lfo.offset - lfo.scale) output = lfo.offset - lfo.scale;
      lfo.output = output;
      break;
    }
    default: break;
  }
  lfo.accumulator = Fraction(a);
}

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
