#include "audio/spectrum.h"

#include <cmath>
#include <utility>

namespace {
// 2π as a float, widened: the tables must come out exactly as recorded
// spectra expect.
constexpr double kTwoPi = 6.2831854820251465;
constexpr double kFourPi = 12.566370964050293;
constexpr double kSixPi = 18.84955644607544;
}  // namespace

void Spectrum::Init() {
  Free();
  const int n = kTransformSize;

  bitReverse_.resize(n);
  for (int i = 0; i < n; ++i) bitReverse_[i] = i;
  for (int i = 0, j = 0; i < n; ++i) {
    if (j > i) std::swap(bitReverse_[i], bitReverse_[j]);
    int m = n / 2;
    while (m >= 1 && j >= m) {
      j -= m;
      m /= 2;
    }
    j += m;
  }

  for (int m = 2; m <= n; m *= 2) {
    float angle = static_cast<float>(-kTwoPi) / static_cast<float>(m);
    twiddles_.push_back({std::cos(angle), std::sin(angle)});
  }

  // Nuttall window.
  window_.resize(kInputLength);
  const double d = kInputLength - 1;
  for (int i = 0; i < kInputLength; ++i) {
    window_[i] = static_cast<float>(0.355768 - 0.487396 * std::cos(kTwoPi * i / d) +
                                    0.144232 * std::cos(kFourPi * i / d) -
                                    0.012604 * std::cos(kSixPi * i / d));
  }

  // Lifts the treble, where music carries less energy.
  const int h = kOutputLength;
  weights_.resize(h);
  for (int i = 1; i < h; ++i) weights_[i] = static_cast<float>(-0.02 * std::log(double(h - i) / h));
  weights_[0] = weights_[1];

  re_.assign(n, 0.0f);
  im_.assign(n, 0.0f);
}

void Spectrum::Free() {
  bitReverse_.clear();
  twiddles_.clear();
  window_.clear();
  weights_.clear();
  re_.clear();
  im_.clear();
}

void Spectrum::Transform(const float* input, float* output) {
  if (bitReverse_.empty() || twiddles_.empty() || window_.empty() || weights_.empty() || re_.empty())
    return;
  const int n = kTransformSize;
  float* re = re_.data();
  float* im = im_.data();
  for (int i = 0; i < n; ++i) {
    int j = bitReverse_[i];
    re[i] = j < kInputLength ? input[j] * window_[j] : 0.0f;
    im[i] = 0.0f;
  }

  int stage = 0;
  for (int m = 2; m <= n; m *= 2, ++stage) {
    const int half = m / 2;
    const float wr = twiddles_[stage].cos, wi = twiddles_[stage].sin;
    float ur = 1.0f, ui = 0.0f;
    for (int j = 0; j < half; ++j) {
      for (int k = j; k < n; k += m) {
        const int p = k + half;
        const float tr = ur * re[p] - ui * im[p];
        const float ti = ur * im[p] + ui * re[p];
        re[p] = re[k] - tr;
        im[p] = im[k] - ti;
        re[k] += tr;
        im[k] += ti;
      }
      // Advanced by multiplication rather than looked up.
      const float next = ur * wr - ui * wi;
      ui = ur * wi + ui * wr;
      ur = next;
    }
  }

  for (int i = 0; i < kOutputLength; ++i) output[i] = std::sqrt(re[i] * re[i] + im[i] * im[i]) * weights_[i];
}
