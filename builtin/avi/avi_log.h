#pragma once
// Where the AVI source's diagnostic lines go: the program's log by default;
// tests may capture them. Called like printf: AviLog("...", ...).
#include "platform/sys/log_channel.h"

namespace lv {

extern sys::LogChannel AviLog;

// Replaces the destination of AviLog lines; null restores the program's log.
inline void SetAviLogSink(sys::LogSink sink) { AviLog.SetSink(sink); }

}  // namespace lv
