#pragma once
// One serial port driving a MiniSSC servo controller: a queue of servo
// commands drained by a writer thread of its own, which folds repeated
// commands for one servo (the latest position wins, in the place of the
// first), drops positions equal to the last one sent, and writes the rest
// as three-byte commands 255, servo, position at 9600 8N1.
//
// The port starts with its first user and stops with its last; stopping
// lets the writer send what is still queued before the device closes.
#include <array>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/serial_port.h"

namespace kestrix {

struct ServoCommand {
  uint8_t servo;
  uint8_t position;
};

class ServoPort {
 public:
  static constexpr uint8_t kSync = 255;
  // The sync byte cannot name a servo: servo 255 is never sent.
  static constexpr uint8_t kNoServo = 255;
  static constexpr uint8_t kInitialPosition = 127;

  // `portName` as the program names it ("COM1"); the device is looked up
  // each time the port starts.
  explicit ServoPort(std::string portName) : portName_(std::move(portName)) {}
  ~ServoPort();
  ServoPort(const ServoPort&) = delete;
  ServoPort& operator=(const ServoPort&) = delete;

  // The first Acquire opens the device and starts the writer; a device that
  // does not open leaves the port working without output. The last Release
  // drains the queue, then stops the writer and closes the device.
  void Acquire();
  void Release();

  // Appends the commands and wakes the writer (nothing for an empty span).
  void Send(std::span<const ServoCommand> commands);

  bool DeviceOpen() const { return device_ != nullptr; }

 private:
  void Start();
  void Stop();
  void WriterLoop();

  const std::string portName_;
  // Leaf locks, users_ before lock_ (lock order: platform/gfx/device_lock.h).
  std::mutex users_;  // Acquire and Release
  int userCount_ = 0;

  std::mutex lock_;  // the queue and the stop flag
  std::condition_variable queued_;
  std::vector<ServoCommand> queue_;
  bool stop_ = false;

  // The writer's own once it runs.
  std::array<uint8_t, 256> lastSent_{};
  std::unique_ptr<serial::SerialPort> device_;
  std::thread writer_;
};

// The wire bytes for one pass over `queue`, updating `lastSent`.
std::vector<uint8_t> FoldServoCommands(std::span<const ServoCommand> queue, std::array<uint8_t, 256>& lastSent);

}  // namespace kestrix
