#include "capture/capture_recording.h"

#include "capture/capture_record.h"
#include "capture/capture_writer.h"
#include "performer/performer.h"
#include "platform/sys/log.h"

namespace lv {

FileDialogRequest CaptureRecordDialog() {
  FileDialogRequest request;
  request.filterName = "Lorvane MIDI capture";
  request.pattern = "*.midicap";
  request.initialName = kDefaultCaptureName;
  request.defaultExtension = "midicap";
  request.confirmOverwrite = true;
  return request;
}

RecordStart StartCaptureRecording(Performer& performer, const std::string& path) {
  if (performer.State() != Live) return RecordStart::NotLive;
  std::string error;
  std::unique_ptr<CaptureWriter> writer = CaptureWriter::Create(path, &error);
  if (writer == nullptr) {
    sys::Log("StartCaptureRecording: %s", error.c_str());
    return RecordStart::FileError;
  }
  // The writer discards its file if the state changed meanwhile.
  return performer.StartRecording(std::move(writer)) ? RecordStart::Started : RecordStart::NotLive;
}

bool StopCaptureRecording(Performer& performer) {
  if (performer.State() != Recording) return true;
  performer.SetState(Halted);
  const bool completed = performer.CloseCaptureFile();
  performer.SetState(Live);
  return completed;
}

}  // namespace lv
