#include "capture/capture_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "performer/performer.h"

namespace lv {

std::unique_ptr<CaptureReader> CaptureReader::Open(const std::string& path, float* spectrum) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  return std::unique_ptr<CaptureReader>(new CaptureReader(file, spectrum));
}

CaptureReader::~CaptureReader() { Close(); }

bool CaptureReader::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  return true;
}

bool CaptureReader::ReadSpectrum() {
  // A spectrum cut short by the end of the file is not loaded: it ends the
  // playback like a short event record.
  if (std::fread(spectrumBytes_.data(), 1, spectrumBytes_.size(), file_) != spectrumBytes_.size()) return false;
  spectrumWaiting_ = true;
  return true;
}

void CaptureReader::LoadSpectrum() {
  spectrumWaiting_ = false;
  if (spectrum_ == nullptr) return;
  for (int i = 0; i < kCaptureSpectrumValues; ++i) {
    const uint32_t bits = GetU32(spectrumBytes_.data() + 4 * i);
    float value;
    std::memcpy(&value, &bits, 4);
    // Every effect bound to an audio band reads these: a damaged file must
    // not hand them values the analyser never gives.
    spectrum_[i] = std::isfinite(value) ? std::clamp(value, 0.0f, kCaptureSpectrumMax) : 0.0f;
  }
}

void CaptureReader::StepBackOverEvent() {
  std::fseek(file_, -static_cast<long>(kCaptureEventRecordBytes), SEEK_CUR);
}

void CaptureReader::ReadStart() {
  if (file_ == nullptr) return;
  for (;;) {
    const int type = std::fgetc(file_);
    if (type == EOF) return;
    if (type != kCaptureEventRecord) {
      if (!ReadSpectrum()) return;
      continue;
    }
    uint8_t event[kCaptureEventBytes];
    const size_t got = std::fread(event, 1, sizeof event, file_);
    if (got == sizeof event) {
      timeBase_ = GetU32(event + 4);
      StepBackOverEvent();
    } else {
      // The first pass meets the short record and ends the playback.
      std::fseek(file_, -static_cast<long>(1 + got), SEEK_CUR);
    }
    return;
  }
}

bool CaptureReader::Feed(Performer& performer, uint32_t now) {
  if (file_ == nullptr) return false;
  if (spectrumWaiting_) LoadSpectrum();
  for (;;) {
    const int type = std::fgetc(file_);
    if (type == EOF) return false;
    if (type != kCaptureEventRecord) {
      if (!ReadSpectrum()) return false;
      LoadSpectrum();
      continue;
    }
    uint8_t bytes[kCaptureEventBytes];
    if (std::fread(bytes, 1, sizeof bytes, file_) != sizeof bytes) return false;
    // Signed: an event stamped before the time base is due at once rather
    // than some 49 days later.
    const int32_t time = static_cast<int32_t>(GetU32(bytes + 4) - timeBase_);
    if (time > static_cast<int32_t>(now)) {
      StepBackOverEvent();
      return true;
    }
    const MidiEvent event{GetU32(bytes), static_cast<uint32_t>(time < 0 ? 0 : time)};
    // The render thread is the ring's only reader: waiting for room here
    // would wait for ever. What does not fit goes in the next pass.
    if (!performer.TryPushMidi(event)) {
      StepBackOverEvent();
      return true;
    }
  }
}

}  // namespace lv
