#include "capture/capture_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/sys/log.h"

namespace builtin {

namespace {
void ProgramLogSink(const char* line) { sys::Log("%s", line); }
std::atomic<CaptureLogSink> g_sink{&ProgramLogSink};
}  // namespace

void CaptureLog(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_sink.load()(line);
}

void SetCaptureLogSink(CaptureLogSink sink) { g_sink.store(sink ? sink : &ProgramLogSink); }

}  // namespace builtin
