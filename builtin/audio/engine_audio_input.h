#pragma once
// The audio input as the engine sees it: the Performer analyses it at the
// start of every pass, bindings and plug-ins read its results, and capture
// playback closes it, loads recorded spectra into its block and reopens it.
#include "audio/audio_input.h"
#include "capture/capture_audio.h"
#include "modulation/audio_input.h"

static_assert(lv::AudioInput::kSpectrumLength == ::AudioInput::kSpectrumLength);
static_assert(lv::AudioInput::kBandCount == ::AudioInput::kNumBands);

class EngineAudioInput final : public lv::AudioInput, public lv::CaptureAudio {
 public:
  // `input` stays the caller's and must outlive this object.
  explicit EngineAudioInput(::AudioInput& input) : input_(input) {}

  void ProcessPass() override { input_.Process(); }
  const float* Spectrum() const override { return input_.GetSpectrum(); }
  float BandLevel(int band) const override { return input_.GetBandLevel(band); }
  float Level() const override { return input_.GetLevel(); }
  float Beat() const override { return static_cast<float>(input_.GetBeat()); }

  void CloseInput() override { input_.Open(nullptr); }
  // The program always takes the first compatible device; none leaves the
  // input closed.
  void ReopenInput() override { input_.Open(input_.FirstDevice()); }
  float* SpectrumBlock() override { return input_.SpectrumBlock(); }

 private:
  ::AudioInput& input_;
};
