#include "controllers/servo_port.h"

namespace kestrix {

std::vector<uint8_t> FoldServoCommands(std::span<const ServoCommand> queue, std::array<uint8_t, 256>& lastSent) {
  // Each servo keeps the place of its first command and the latest position.
  std::array<int, 256> slot;
  slot.fill(-1);
  std::vector<ServoCommand> folded;
  for (const ServoCommand& command : queue) {
    if (command.servo == ServoPort::kNoServo) continue;
    if (slot[command.servo] < 0) {
      slot[command.servo] = int(folded.size());
      folded.push_back(command);
    } else {
      folded[size_t(slot[command.servo])].position = command.position;
    }
  }
  std::vector<uint8_t> wire;
  wire.reserve(folded.size() * 3);
  for (const ServoCommand& command : folded) {
    if (command.position == lastSent[command.servo]) continue;
    wire.insert(wire.end(), {ServoPort::kSync, command.servo, command.position});
    lastSent[command.servo] = command.position;
  }
  return wire;
}

ServoPort::~ServoPort() {
  // Unloading with instances still alive: the writer must not outlive us.
  if (writer_.joinable()) Stop();
}

void ServoPort::Acquire() {
  std::lock_guard<std::mutex> guard(users_);
  if (userCount_++ == 0) Start();
}

void ServoPort::Release() {
  std::lock_guard<std::mutex> guard(users_);
  if (userCount_ > 0 && --userCount_ == 0) Stop();
}

void ServoPort::Start() {
  lastSent_.fill(kInitialPosition);
  stop_ = false;
  device_ = serial::SerialPort::Open(serial::DevicePathFor(portName_), 9600);
  // The writer runs even without a device, so the queue never grows.
  writer_ = std::thread([this] { WriterLoop(); });
}

void ServoPort::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  queued_.notify_one();
  // Writes give up on a stalled line, so the join is bounded.
  writer_.join();
  device_.reset();
}

void ServoPort::Send(std::span<const ServoCommand> commands) {
  if (commands.empty()) return;
  {
    std::lock_guard<std::mutex> guard(lock_);
    queue_.insert(queue_.end(), commands.begin(), commands.end());
  }
  queued_.notify_one();
}

void ServoPort::WriterLoop() {
  std::vector<ServoCommand> pass;
  for (;;) {
    {
      std::unique_lock<std::mutex> guard(lock_);
      queued_.wait(guard, [this] { return stop_ || !queue_.empty(); });
      if (queue_.empty()) return;  // stopping, and everything is sent
      pass.swap(queue_);
    }
    // Outside the lock: producers never wait for the serial line.
    const std::vector<uint8_t> wire = FoldServoCommands(pass, lastSent_);
    pass.clear();
    if (!wire.empty() && device_ != nullptr) device_->Write(wire.data(), wire.size());
  }
}

}  // namespace kestrix
