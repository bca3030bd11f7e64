#pragma once
// Where the AVI source's diagnostic lines go: the program's log by default;
// tests may capture them.
namespace lv {

using AviLogSink = void (*)(const char* line);

void AviLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Replaces the destination of AviLog lines; null restores the program's log.
void SetAviLogSink(AviLogSink sink);

}  // namespace lv
