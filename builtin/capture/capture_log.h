#pragma once
// Where the capture devices' and the sampler's diagnostic lines go: the
// program's log by default; tests may capture them. Called like printf:
// CaptureLog("...", ...).
#include "platform/sys/log_channel.h"

namespace builtin {

extern sys::LogChannel CaptureLog;

// Replaces the destination of CaptureLog lines; null restores the program's log.
inline void SetCaptureLogSink(sys::LogSink sink) { CaptureLog.SetSink(sink); }

}  // namespace builtin
