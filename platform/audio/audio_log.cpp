#include "platform/audio/audio_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace audio {
namespace {

void StandardErrorSink(const char* line) { std::fprintf(stderr, "%s\n", line); }

std::atomic<LogSink> g_sink{&StandardErrorSink};

}  // namespace

void Log(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  g_sink.load()(line);
}

void SetLogSink(LogSink sink) { g_sink.store(sink ? sink : &StandardErrorSink); }

}  // namespace audio
