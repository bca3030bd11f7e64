#pragma once
// A serial port opened for writing only, raw, 8 data bits, no parity, one
// stop bit, no flow control. Ports are named as the program names them
// ("COM1", "COM2", ...); each name maps to a device path that the
// environment can change:
//
//   COM<n>  ->  $LV_SERIAL_COM<n>, else /dev/ttyS<n-1>
//
// so COM1 is /dev/ttyS0 and COM2 /dev/ttyS1 unless LV_SERIAL_COM1 or
// LV_SERIAL_COM2 says otherwise (a USB adapter: LV_SERIAL_COM1=/dev/ttyUSB0).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace serial {

// The device path of `portName`; any other name is taken as a path itself.
std::string DevicePathFor(std::string_view portName);

class SerialPort {
 public:
  // Null when the device does not open (missing, busy, not a terminal) or
  // refuses the line settings; `error` then says why.
  static std::unique_ptr<SerialPort> Open(const std::string& devicePath, uint32_t baud,
                                          std::string* error = nullptr);
  ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // Writes all of `bytes` unless the line stays blocked for longer than
  // `timeoutMs` at a time (a stalled device never holds the caller forever).
  // The number of bytes written.
  size_t Write(const uint8_t* bytes, size_t size, int timeoutMs = 2000);

 private:
  explicit SerialPort(int fd) : fd_(fd) {}
  int fd_;
};

}  // namespace serial
