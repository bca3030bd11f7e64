#pragma once
// Where the audio code's diagnostic lines go: the program's log by default;
// tests may capture them. Called like printf: audio::Log("...", ...).
#include "platform/sys/log_channel.h"

namespace audio {

extern sys::LogChannel Log;

// Replaces the destination of Log lines; null restores the default.
inline void SetLogSink(sys::LogSink sink) { Log.SetSink(sink); }

}  // namespace audio
