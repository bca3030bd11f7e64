#pragma once
// A pseudo-terminal standing in for a serial device: the code under test
// opens SlavePath() as its port, the test reads what reached the line from
// the master side.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
      if (const char* name = ::ptsname(master_)) slavePath_ = name;
    }
    // Holding the slave open keeps the master readable between the port's
    // own open and close.
    if (!slavePath_.empty()) keepOpen_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY);
  }
  ~PseudoTerminal() {
    if (keepOpen_ >= 0) ::close(keepOpen_);
    if (master_ >= 0) ::close(master_);
  }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool Ok() const { return master_ >= 0 && keepOpen_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }

  // Reads until `count` bytes came or `quietMs` pass without any.
  std::vector<uint8_t> Read(size_t count, int quietMs = 1000) {
    std::vector<uint8_t> bytes;
    while (bytes.size() < count) {
      pollfd readable{master_, POLLIN, 0};
      if (::poll(&readable, 1, quietMs) <= 0 || (readable.revents & POLLIN) == 0) break;
      uint8_t buffer[1024];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
  }

  // The line settings the port left on the device.
  termios Settings() const {
    termios settings{};
    ::tcgetattr(keepOpen_, &settings);
    return settings;
  }

  // Whatever arrives within `ms`.
  std::vector<uint8_t> ReadFor(int ms) { return Read(SIZE_MAX, ms); }

 private:
  int master_ = -1;
  int keepOpen_ = -1;
  std::string slavePath_;
};
