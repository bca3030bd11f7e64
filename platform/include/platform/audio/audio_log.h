#pragma once

// Where the audio code's diagnostic lines go: the program's log by default;
// tests may capture them.
namespace audio {

using LogSink = void (*)(const char* line);

// printf-style; one line, no trailing newline needed.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the destination of Log lines; null restores the default.
void SetLogSink(LogSink sink);

}  // namespace audio
