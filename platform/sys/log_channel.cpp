#include "platform/sys/log_channel.h"

#include <cstdarg>
#include <cstdio>

#include "platform/sys/log.h"

namespace sys {

void LogChannel::operator()(const char* format, ...) const {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (LogSink sink = sink_.load()) {
    sink(line);
  } else {
    Log("%s", line);
  }
}

}  // namespace sys
