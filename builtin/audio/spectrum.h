#pragma once
#include <vector>

// The analyser: a windowed 2048-point FFT reduced to 1024 weighted
// magnitudes. Single precision throughout, so results match the values
// recorded in capture files.
class Spectrum {
 public:
  static constexpr int kInputLength = 2048;
  static constexpr int kTransformSize = 2048;
  static constexpr int kOutputLength = kTransformSize / 2;

  // Builds the bit-reversal, twiddle, window and weight tables.
  void Init();
  void Free();
  bool ready() const { return !bitReverse_.empty(); }

  // input: kInputLength samples; output: kOutputLength magnitudes. Does
  // nothing before Init or after Free.
  void Transform(const float* input, float* output);

  int bitReverse(int i) const { return bitReverse_[i]; }
  float window(int i) const { return window_[i]; }
  float weight(int i) const { return weights_[i]; }

 private:
  struct Twiddle {
    float cos, sin;
  };
  std::vector<int> bitReverse_;
  std::vector<Twiddle> twiddles_;  // one per stage, sizes 2, 4, ..., kTransformSize
  std::vector<float> window_;
  std::vector<float> weights_;
  std::vector<float> re_, im_;
};
