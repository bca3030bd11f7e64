#pragma once
// Where the capture devices' and the sampler's diagnostic lines go: the
// program's log by default; tests may capture them.
namespace builtin {

using CaptureLogSink = void (*)(const char* line);
void CaptureLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Replaces the destination of CaptureLog lines; null restores the program's log.
void SetCaptureLogSink(CaptureLogSink sink);

}  // namespace builtin
