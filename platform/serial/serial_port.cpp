#include "platform/serial/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace serial {
namespace {

speed_t SpeedFor(uint32_t baud) {
  switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

void SetError(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
}

}  // namespace

std::string DevicePathFor(std::string_view portName) {
  const std::string name(portName);
  if (name.size() > 3 && name.compare(0, 3, "COM") == 0 &&
      name.find_first_not_of("0123456789", 3) == std::string::npos) {
    if (const char* configured = std::getenv(("LV_SERIAL_" + name).c_str()); configured != nullptr && *configured)
      return configured;
    const int number = std::atoi(name.c_str() + 3);
    if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
  }
  return name;
}

std::unique_ptr<SerialPort> SerialPort::Open(const std::string& devicePath, uint32_t baud, std::string* error) {
  const speed_t speed = SpeedFor(baud);
  if (speed == B0) {
    SetError(error, "unsupported baud rate " + std::to_string(baud));
    return nullptr;
  }
  // Non-blocking: neither a missing carrier nor a full line may hang us.
  const int fd = ::open(devicePath.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    SetError(error, devicePath + ": " + std::strerror(errno));
    return nullptr;
  }
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) {
    SetError(error, devicePath + ": not a serial port (" + std::strerror(errno) + ")");
    ::close(fd);
    return nullptr;
  }
  ::cfmakeraw(&settings);
  settings.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL;
  settings.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
  ::cfsetispeed(&settings, speed);
  ::cfsetospeed(&settings, speed);
  if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
    SetError(error, devicePath + ": line settings refused (" + std::strerror(errno) + ")");
    ::close(fd);
    return nullptr;
  }
  // The port is ours alone while open.
  ::ioctl(fd, TIOCEXCL);
  return std::unique_ptr<SerialPort>(new SerialPort(fd));
}

SerialPort::~SerialPort() {
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
}

size_t SerialPort::Write(const uint8_t* bytes, size_t size, int timeoutMs) {
  size_t written = 0;
  while (written < size) {
    const ssize_t n = ::write(fd_, bytes + written, size - written);
    if (n > 0) {
      written += size_t(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
    pollfd waitFor{fd_, POLLOUT, 0};
    const int ready = ::poll(&waitFor, 1, timeoutMs);
    if (ready <= 0 || (waitFor.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
  }
  return written;
}

}  // namespace serial
