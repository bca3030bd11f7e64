#include "avi/avi_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "platform/sys/log.h"

namespace lv {
namespace {

void ProgramLogSink(const char* line) { sys::Log("%s", line); }

std::atomic<AviLogSink> g_sink{&ProgramLogSink};

}  // namespace

void AviLog(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_sink.load()(line);
}

void SetAviLogSink(AviLogSink sink) { g_sink.store(sink ? sink : &ProgramLogSink); }

}  // namespace lv
