#include "platform/sys/log.h"

#include <cstdarg>
#include <cstdio>

#include "platform/sys/module_path.h"

namespace sys {

namespace {

// Formats into `out`; false when the text would exceed the message limit.
bool FormatMessage(std::string& out, const char* format, va_list args) {
  char buffer[kLogMessageLimit + 1];
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
  va_end(copy);
  if (length < 0 || length > kLogMessageLimit) return false;
  out.assign(buffer, size_t(length));
  return true;
}

LogFile& ProgramLog() {
  static LogFile log(LogPathFor(ProgramPath()));
  return log;
}

}  // namespace

std::string LogPathFor(const std::string& programPath) {
  size_t slash = programPath.find_last_of("/\\");
  size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  size_t dot = programPath.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return programPath + " Log.txt";
  return programPath.substr(0, dot) + " Log.txt";
}

LogFile::LogFile(std::string path) : path_(std::move(path)), enabled_(false) {
  if (std::FILE* probe = std::fopen(path_.c_str(), "r")) {
    enabled_ = true;
    std::fclose(probe);
  }
}

void LogFile::Write(const std::string& text) {
  if (!enabled_ || text.size() > size_t(kLogMessageLimit)) return;
  std::string line = text + "\n";
  std::lock_guard lock(mutex_);
  std::FILE* file = std::fopen(path_.c_str(), "a");
  if (file == nullptr) return;
  // One write per line, so lines from two threads never interleave.
  std::fwrite(line.data(), 1, line.size(), file);
  std::fflush(file);
  std::fclose(file);
}

void LogFile::Printf(const char* format, ...) {
  if (!enabled_) return;
  std::string text;
  va_list args;
  va_start(args, format);
  bool fits = FormatMessage(text, format, args);
  va_end(args);
  if (fits) Write(text);
}

void Log(const char* format, ...) {
  LogFile& log = ProgramLog();
  if (!log.Enabled()) return;
  std::string text;
  va_list args;
  va_start(args, format);
  bool fits = FormatMessage(text, format, args);
  va_end(args);
  if (fits) log.Write(text);
}

}  // namespace sys
