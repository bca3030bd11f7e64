#pragma once
// A part of the program's own stream of diagnostic lines: printf-style lines
// that go to the program's log, unless a test has put a sink of its own in.
#include <atomic>

namespace sys {

using LogSink = void (*)(const char* line);

class LogChannel {
 public:
  constexpr LogChannel() = default;
  LogChannel(const LogChannel&) = delete;
  LogChannel& operator=(const LogChannel&) = delete;

  // One line, no trailing newline needed; longer than 1023 bytes is cut.
  void operator()(const char* format, ...) const __attribute__((format(printf, 2, 3)));

  // Replaces the destination of the lines; null restores the program's log.
  void SetSink(LogSink sink) { sink_.store(sink); }

 private:
  std::atomic<LogSink> sink_{nullptr};
};

}  // namespace sys
