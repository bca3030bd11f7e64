#pragma once
// What capture playback needs of the audio input: during playback the
// spectrum comes only from the file.
namespace lv {

class CaptureAudio {
 public:
  virtual ~CaptureAudio() = default;
  // Stops analysing the device (user-interface thread, before playback).
  virtual void CloseInput() = 0;
  // Opens the input chosen in the settings again (after playback).
  virtual void ReopenInput() = 0;
  // The kCaptureSpectrumValues floats the frames read; playback loads the
  // recorded spectra into it on the render thread.
  virtual float* SpectrumBlock() = 0;
};

}  // namespace lv
