#pragma once
// A value that eases towards its target along a cubic: each step covers the
// fraction `c` of the way from (current, slope) to (target, slope 0), and
// starts afresh from there the next step. The generators drift their
// parameters through these.
#include <cstdint>
#include <cstdlib>

namespace kestrix {

struct AnimatedValue {
  float current = 0.0f;
  float target = 0.0f;
  float c = 1.0f;
  float slope = 0.0f;
  int32_t counter = 0;
  int32_t period = 4;
  uint8_t flag = 0;  // set on the step before the counter comes round

  void Step() {
    if (counter != 0) {
      if (++counter == period) {
        counter = 0;
        flag = 0;
      } else if (counter == period - 1) {
        flag = 1;
      }
    }
    const float p = current, v = slope, d = target - current;
    const float e = v - 2.0f * d, g = 3.0f * d - 2.0f * v;
    current = p + c * (v + c * (c * e + g));
    slope = v + c * (3.0f * c * e + 2.0f * g);
  }

  void SetTarget(float value) {
    target = value;
    counter = 1;
  }

  // Current and target at once, at rest.
  void Hold(float value) {
    current = target = value;
    counter = 1;
  }
};

// A uniform random number in [0, 1] from the C generator the library shares.
inline float RandomUnit() { return float(std::rand() & 32767) * 0.000030518509f; }

// True with a chance of one in `oneIn` (at least 1).
inline bool RandomChance(int oneIn) { return oneIn <= 1 || std::rand() % oneIn == 0; }

}  // namespace kestrix
