#pragma once
// A capture file being played back on the render thread's fixed clock.
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "capture/capture_record.h"
#include "performer/capture_file.h"

namespace lv {

class CaptureReader : public CaptureFile {
 public:
  // Null when the file cannot be opened for reading. Recorded spectra are
  // loaded into `spectrum` (kCaptureSpectrumValues floats; null: nowhere).
  static std::unique_ptr<CaptureReader> Open(const std::string& path, float* spectrum);
  ~CaptureReader() override;

  // Loads the spectra ahead of the first event and takes that event's time as
  // the time base; the first pass then reads the event again. A file without
  // an event keeps the time base 0 and ends at the first pass.
  void ReadStart();
  uint32_t TimeBase() const { return timeBase_; }

  // Nothing is written during playback.
  void WriteEvent(const MidiEvent&) override {}
  void WriteSpectrum(const float*) override {}
  // Pushes every event due by `now` in file order and loads the spectra
  // between them; an event due later, or one the full ring cannot take yet,
  // is left for a later pass. False at the end of the file or at a short
  // record.
  bool Feed(Performer& performer, uint32_t now) override;
  bool Close() override;

 private:
  CaptureReader(std::FILE* file, float* spectrum) : file_(file), spectrum_(spectrum) {}
  bool ReadSpectrum();
  void LoadSpectrum();
  void StepBackOverEvent();

  std::FILE* file_;
  float* spectrum_;
  uint32_t timeBase_ = 0;
  // The last spectrum read. The one read ahead of the first event waits for
  // the first pass: the spectrum belongs to the render thread.
  std::array<uint8_t, kCaptureSpectrumBytes> spectrumBytes_{};
  bool spectrumWaiting_ = false;
};

}  // namespace lv
