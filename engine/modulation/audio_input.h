#pragma once
// What the engine reads of the audio input's analysis. The render thread asks
// for one analysis step at the start of every pass; bindings, plug-ins and
// the capture recorder read the results. Without an audio input every value
// reads 0.
namespace lv {

class AudioInput {
 public:
  static constexpr int kSpectrumLength = 1024;
  static constexpr int kBandCount = 6;

  virtual ~AudioInput() = default;
  // Analyses what arrived since the previous pass (render thread).
  virtual void ProcessPass() = 0;
  // kSpectrumLength values.
  virtual const float* Spectrum() const = 0;
  // Band 0-5; 0 for any other index.
  virtual float BandLevel(int band) const = 0;
  virtual float Level() const = 0;
  virtual float Beat() const = 0;
};

}  // namespace lv
