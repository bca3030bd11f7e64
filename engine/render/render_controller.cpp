#include "render/render_controller.h"

#include <cstdio>
#include <filesystem>

#include "capture/capture_audio.h"
#include "capture/capture_record.h"
#include "performer/performer.h"
#include "platform/sys/log.h"
#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_prompts.h"

namespace lv {

RenderController::RenderController(Performer& performer, RenderPrompts& prompts, CompressorChooser& chooser)
    : performer_(performer), prompts_(prompts), chooser_(chooser) {}

RenderController::~RenderController() { StopRenderFile(); }

FileDialogRequest RenderController::CaptureFileDialog() {
  FileDialogRequest request;
  request.title = "Choose MIDI capture file to render";
  request.filterName = "Lorvane MIDI capture";
  request.pattern = "*.midicap";
  request.initialName = kDefaultCaptureName;
  request.defaultExtension = "midicap";
  request.fileMustExist = true;
  return request;
}

FileDialogRequest RenderController::TargetFileDialog() {
  FileDialogRequest request;
  request.title = "Choose AVI file to save";
  request.filterName = "AVI files";
  request.pattern = "*.avi";
  request.defaultExtension = "avi";
  request.confirmOverwrite = true;
  return request;
}

bool RenderController::ChooseCaptureFile(std::string* path) {
  if (performer_.GetPerformance() == nullptr) return false;
  std::optional<std::string> chosen = prompts_.OpenFile(CaptureFileDialog());
  if (!chosen) return false;
  *path = *chosen;
  return true;
}

void RenderController::PlayCaptureFile() {
  if (active_) {
    prompts_.ShowError(kPlaybackStartErrorText, kPlaybackErrorCaption);
    return;
  }
  std::string capture;
  if (!ChooseCaptureFile(&capture)) return;
  frameIndex_ = 0;
  if (!performer_.StartPlayback(capture, kPlayFramesPerSecond, nullptr, nullptr)) {
    CloseAvi();
    prompts_.ShowError(kPlaybackStartErrorText, kPlaybackErrorCaption);
    return;
  }
  capturePath_ = capture;
  active_ = true;
}

void RenderController::RenderCaptureFile() {
  if (active_) {
    prompts_.ShowError(kPlaybackStartErrorText, kRenderErrorCaption);
    return;
  }
  std::string capture;
  if (!ChooseCaptureFile(&capture)) return;
  std::optional<std::string> target = prompts_.SaveFile(TargetFileDialog());
  if (!target) return;
  const Performance* performance = performer_.GetPerformance();
  if (performance == nullptr) return;

  capturePath_ = capture;
  format_ = {performance->width, performance->height, kRenderFrameRate};
  partCount_ = 0;
  targetName_ = *target;
  currentPartName_ = targetName_;

  // Whether the target can be written at all is known before the user is
  // asked about compression. The trial file is discarded.
  {
    std::string error;
    if (media::CreateAviWriter(currentPartName_, format_, media::CompressorChoice{}, &error) == nullptr) {
      sys::Log("RenderController: %s", error.c_str());
      CloseAvi();
      prompts_.ShowError(kAviCreateErrorText, kRenderErrorCaption);
      return;
    }
  }

  std::optional<media::CompressorChoice> choice = chooser_.ChooseCompressor();
  if (!choice) {
    CloseAvi();
    return;
  }
  choice_ = *choice;

  ReleaseStreams();
  if (!CreateAvi()) {
    CloseAvi();
    prompts_.ShowError(kAviCreateErrorText, kRenderErrorCaption);
    return;
  }
  frameIndex_ = 0;
  if (!performer_.StartPlayback(capturePath_, kRenderFramesPerSecond, OnFrame, this)) {
    CloseAvi();
    prompts_.ShowError(kPlaybackStartErrorText, kRenderErrorCaption);
    return;
  }
  active_ = true;
}

bool RenderController::OnFrame(void* argument) { return static_cast<RenderController*>(argument)->WriteFrame(); }

bool RenderController::WriteFrame() {
  {
    // After a failure, or once the file was finished for the program's end,
    // the render thread goes on calling until the stop comes.
    std::lock_guard file(fileLock_);
    if (writer_ == nullptr) return false;
  }
  if (grabber_ == nullptr) {
    sys::Log("RenderController: No frame source");
    return false;
  }
  // The grabber scales into the frame's own size and lends the rows where
  // they lie: the writer reads them without a copy in between. The device
  // calls stay outside the file lock.
  grabbing_ = true;
  FrameView view;
  switch (grabber_->LendBackBuffer(format_.width, format_.height, &view)) {
    case FrameGrab::Copied: break;
    case FrameGrab::NoTargetSurface: sys::Log("RenderController: Unable to get RenderTexture surface"); return false;
    case FrameGrab::ScaleFailed: sys::Log("RenderController: StretchRect() failed"); return false;
    case FrameGrab::ReadBackFailed: sys::Log("RenderController: GetRenderTargetData() failed"); return false;
    case FrameGrab::LockFailed: sys::Log("RenderController: Unable to lock target surface"); return false;
  }
  bool written;
  {
    std::lock_guard file(fileLock_);
    written = WriteGrabbedFrame(view);
  }
  grabber_->ReturnBackBuffer();
  return written;
}

bool RenderController::WriteGrabbedFrame(const FrameView& view) {
  if (writer_ == nullptr) return false;
  if (!writer_->WriteFrame(view.pixels, view.pitch, media::PixelOrder::BGRX)) {
    sys::Log("RenderController: Unable to write frame %lld: %s", static_cast<long long>(frameIndex_),
             writer_->LastError().c_str());
    return false;
  }
  ++frameIndex_;
  byteCount_ = writer_->BytesWritten();
  if (byteCount_ > partBytes_) {
    if (!ReleaseStreams()) return false;
    NextPartName();
    if (!CreateAvi()) {
      pendingError_ = kAviCreateErrorText;
      return false;
    }
  }
  return true;
}

void RenderController::StopRenderFile() {
  if (!active_ && performer_.State() != PlayingCapture) return;
  active_ = false;
  sys::Log("RenderController::StopRenderFile()  Stopping performer playback");
  // Leaving playback waits for the frame in progress: no frame callback runs
  // while the streams close.
  performer_.SetState(FullScreen);
  performer_.CloseCaptureFile();
  if (audio_ != nullptr) audio_->ReopenInput();
  sys::Log("RenderController::StopRenderFile()  Resetting compressor");
  CloseAvi();
  performer_.StopAllNotes();
  performer_.SetState(Live);
  std::optional<std::string> error;
  {
    std::lock_guard file(fileLock_);
    error.swap(pendingError_);
  }
  if (error) prompts_.ShowError(*error, kRenderErrorCaption);
}

void RenderController::FinishFile() {
  std::lock_guard file(fileLock_);
  if (writer_ == nullptr && partCount_ == 0) return;
  sys::Log("RenderController: Finishing %s", currentPartName_.c_str());
  FinishParts();
}

bool RenderController::ReleaseStreams() {
  bool kept = true;
  if (writer_ != nullptr) {
    // A part without a frame is no video: dropping it leaves the file that
    // was at its name alone.
    if (writer_->FramesWritten() > 0 && !writer_->Close()) {
      sys::Log("RenderController: Unable to finish %s: %s", currentPartName_.c_str(), writer_->LastError().c_str());
      if (!pendingError_) pendingError_ = kAviCreateErrorText;
      kept = false;
    }
    writer_.reset();
  }
  frameIndex_ = 0;
  byteCount_ = 0;
  return kept;
}

std::string RenderController::TargetStem() const {
  // The extension is looked for in the file name only, not in its folders.
  const size_t slash = targetName_.find_last_of('/');
  const size_t dot = targetName_.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return targetName_;
  return targetName_.substr(0, dot);
}

void RenderController::NextPartName() {
  ++partCount_;
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, "_%03d.avi", partCount_);
  currentPartName_ = TargetStem() + suffix;
}

bool RenderController::CreateAvi() {
  std::string error;
  writer_ = media::CreateAviWriter(currentPartName_, format_, choice_, &error);
  frameIndex_ = 0;
  byteCount_ = 0;
  if (writer_ == nullptr) {
    sys::Log("RenderController: %s", error.c_str());
    return false;
  }
  return true;
}

void RenderController::CloseAvi() {
  {
    std::lock_guard file(fileLock_);
    FinishParts();
  }
  if (grabbing_ && grabber_ != nullptr) grabber_->ReleaseCopies();
  grabbing_ = false;
}

void RenderController::FinishParts() {
  ReleaseStreams();
  if (partCount_ > 0) {
    // The first part takes its numbered name beside the others, replacing
    // one left over from an earlier render of the same name.
    const std::string first = TargetStem() + "_000.avi";
    std::error_code code;
    if (std::filesystem::exists(targetName_, code)) std::filesystem::rename(targetName_, first, code);
    if (code) sys::Log("RenderController: Unable to rename %s: %s", targetName_.c_str(), code.message().c_str());
  }
  partCount_ = 0;
  byteCount_ = 0;
}

}  // namespace lv
