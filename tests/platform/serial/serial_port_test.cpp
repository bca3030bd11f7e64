// The serial port on a pseudo-terminal: the line settings it leaves and the
// bytes that reach the other side unchanged.
#include "platform/serial/serial_port.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>

#include "pseudo_terminal.h"

namespace {

TEST(SerialPort, PortNamesMapToConfigurableDevices) {
  ::unsetenv("LV_SERIAL_COM1");
  ::unsetenv("LV_SERIAL_COM2");
  EXPECT_EQ(serial::DevicePathFor("COM1"), "/dev/ttyS0");
  EXPECT_EQ(serial::DevicePathFor("COM2"), "/dev/ttyS1");
  ::setenv("LV_SERIAL_COM2", "/dev/ttyUSB3", 1);
  EXPECT_EQ(serial::DevicePathFor("COM2"), "/dev/ttyUSB3");
  EXPECT_EQ(serial::DevicePathFor("COM1"), "/dev/ttyS0");
  ::unsetenv("LV_SERIAL_COM2");
  EXPECT_EQ(serial::DevicePathFor("/dev/ttyACM0"), "/dev/ttyACM0");
}

TEST(SerialPort, MissingOrNonTerminalDevicesFailWithAReason) {
  std::string error;
  EXPECT_EQ(serial::SerialPort::Open("/nonexistent/ttyS9", 9600, &error), nullptr);
  EXPECT_NE(error.find("/nonexistent/ttyS9"), std::string::npos);
  error.clear();
  EXPECT_EQ(serial::SerialPort::Open("/dev/null", 9600, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(SerialPort, WritesRawBytesAt9600EightNoneOne) {
  PseudoTerminal pty;
  ASSERT_TRUE(pty.Ok());
  std::unique_ptr<serial::SerialPort> port = serial::SerialPort::Open(pty.SlavePath(), 9600);
  ASSERT_NE(port, nullptr);

  const termios settings = pty.Settings();
  EXPECT_EQ(::cfgetospeed(&settings), speed_t(B9600));
  EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(settings.c_oflag & OPOST, 0u) << "no output translation";

  // Newlines, carriage returns and the sync byte pass untouched.
  const uint8_t bytes[] = {0xFF, 0x0A, 0x0D, 0x00, 0x7F, 0x03, 0x11, 0x13};
  EXPECT_EQ(port->Write(bytes, sizeof bytes), sizeof bytes);
  EXPECT_EQ(pty.Read(sizeof bytes), std::vector<uint8_t>(std::begin(bytes), std::end(bytes)));
}

}  // namespace
