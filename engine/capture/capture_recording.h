#pragma once
// Recording the performance into a capture file: the main dialog's start and
// stop commands, without the dialogs themselves.
#include <string>

#include "capture/file_dialog_request.h"

namespace lv {

class Performer;

inline constexpr char kRecordErrorText[] = "There was a problem initiating record mode.";
inline constexpr char kRecordErrorCaption[] = "Recording error";

// The save dialog that names the recording.
FileDialogRequest CaptureRecordDialog();

enum class RecordStart {
  Started,
  NotLive,    // recording starts only from the live state; nothing changed
  FileError,  // the file cannot be created; nothing changed
};

// Creates the capture file and moves the Performer to Recording.
RecordStart StartCaptureRecording(Performer& performer, const std::string& path);

// Only while recording: halts, closes the file and goes back to Live. False
// when the recording could not be completed (the target is left as it was).
bool StopCaptureRecording(Performer& performer);

}  // namespace lv
