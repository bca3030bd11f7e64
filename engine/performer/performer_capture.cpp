// The Performer's side of capture files: recording from the live state, and
// starting a playback on the fixed frame clock.
#include <cmath>

#include "capture/capture_audio.h"
#include "capture/capture_reader.h"
#include "performer/capture_file.h"
#include "performer/performer.h"

namespace lv {

bool Performer::StartRecording(std::unique_ptr<CaptureFile> file) {
  if (file == nullptr) return false;
  const FrameHold frame = HoldFrame();
  if (!frame) return false;
  // The one capture-file slot is shared with playback: a recording never
  // replaces a file that is playing.
  if (state_.load() != Live || capture_.load() != nullptr) return false;
  ownedCapture_ = std::move(file);
  recordingKept_.store(true);
  SetCaptureFile(ownedCapture_.get());
  state_.store(Recording);
  return true;
}

bool Performer::StartPlayback(const std::string& path, float framesPerSecond, FrameCallback callback,
                              void* argument) {
  if (!(framesPerSecond > 0.0f) || std::isinf(framesPerSecond)) return false;
  if (capture_.load() != nullptr) return false;
  CaptureAudio* audio = captureAudio_.load();
  std::unique_ptr<CaptureReader> reader = CaptureReader::Open(path, audio != nullptr ? audio->SpectrumBlock() : nullptr);
  if (reader == nullptr) return false;
  reader->ReadStart();
  if (audio != nullptr) audio->CloseInput();

  const FrameHold frame = HoldFrame();
  if (!frame || capture_.load() != nullptr) {
    if (audio != nullptr) audio->ReopenInput();
    return false;
  }
  // A single-precision division, kept as a double.
  SetPlayback(static_cast<double>(1000.0f / framesPerSecond), callback, argument);
  ownedCapture_ = std::move(reader);
  SetCaptureFile(ownedCapture_.get());
  state_.store(PlayingCapture);
  return true;
}

bool Performer::CloseCaptureFile() {
  sys::CriticalSectionLock ring(ringLock_);
  CaptureFile* file = capture_.exchange(nullptr);
  // A file handed in through SetCaptureFile is its owner's to close.
  if (file == nullptr || file != ownedCapture_.get()) return true;
  const bool closed = file->Close();
  ownedCapture_.reset();
  recordingKept_.store(false);
  return closed;
}

bool Performer::FinishRecording() {
  // Only a recording's file: its records are written under the ring lock
  // alone, while a playing file is read by the pass without it.
  if (!recordingKept_.load()) return true;
  return CloseCaptureFile();
}

}  // namespace lv
