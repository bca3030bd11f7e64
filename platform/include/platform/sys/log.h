#pragma once
// The diagnostic log: a file beside the program, named after it, written only
// when it already exists at the first message. Each message opens, appends
// and closes the file, so the log survives a crash.
#include <mutex>
#include <string>

namespace sys {

// Longest message kept; longer ones are dropped whole.
inline constexpr int kLogMessageLimit = 2047;

// The log's name for a program: the file-name part's extension (from its last
// '.') is replaced by " Log.txt", or " Log.txt" is appended when it has none.
std::string LogPathFor(const std::string& programPath);

// One log file. Whether it is written is decided once, at construction.
class LogFile {
 public:
  explicit LogFile(std::string path);

  bool Enabled() const { return enabled_; }
  const std::string& Path() const { return path_; }

  // Appends `text` and a line end when enabled and not over the limit.
  void Write(const std::string& text);
  // printf-style: formats, then Write.
  void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

 private:
  std::string path_;
  bool enabled_;
  std::mutex mutex_;
};

// Writes a line to the program's log (LogPathFor(ProgramPath())).
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace sys
