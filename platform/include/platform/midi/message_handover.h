#pragma once
// Carries an input's short messages from the driver's real-time thread to a
// delivery thread of the program's own, which calls the handler. The driver's
// side never waits, never allocates and never touches a file: it stamps the
// message and puts it in a fixed-size single-producer single-consumer queue.
// A message that finds the queue full is counted and logged, never dropped
// silently.
#include <semaphore.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/midi/midi_input.h"

namespace midi {

class MessageHandover {
 public:
  // Holds what arrives in a burst while the receiver is held up (a capture
  // write, a contended ring) for well over a second of dense input.
  static constexpr size_t kCapacity = 4096;

  explicit MessageHandover(ShortMessageHandler handler);
  // Ends the delivery thread; messages still queued are not delivered.
  ~MessageHandover();
  MessageHandover(const MessageHandover&) = delete;
  MessageHandover& operator=(const MessageHandover&) = delete;

  // Any thread but the driver's. Messages received from now on are
  // delivered, stamped in milliseconds since this call.
  void Start();
  // Any thread but the delivery thread. No message reaches the handler once
  // this returns (a call in progress has ended); queued ones are dropped.
  void Stop();

  // The driver's thread only (the one producer): a complete message of 1 to
  // 3 bytes; anything else is ignored. Never waits.
  void Receive(const unsigned char* bytes, size_t size);

  // Messages taken into the queue and messages lost to a full queue, since
  // construction.
  InputPort::Counts Counted() const;

 private:
  struct Entry {
    uint32_t message;
    uint32_t timeMs;
    uint32_t epoch;  // the Start it was received under
  };

  void Deliver();
  static int64_t Now() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

  ShortMessageHandler handler_;

  // The queue: the driver's thread writes tail_, the delivery thread head_.
  std::array<Entry, kCapacity> entries_{};
  alignas(64) std::atomic<size_t> tail_{0};
  alignas(64) std::atomic<size_t> head_{0};
  std::atomic<uint64_t> received_{0};
  std::atomic<uint64_t> lost_{0};
  sem_t ready_;  // posted for each message and to end; posting never waits

  // Start and Stop: read by the driver's thread without a lock.
  std::atomic<bool> started_{false};
  std::atomic<uint32_t> epoch_{0};
  std::atomic<int64_t> start_{0};

  // Held by the delivery thread while it calls the handler, so Stop waits for
  // a call in progress. Never taken on the driver's thread.
  std::mutex deliveryMutex_;
  std::atomic<bool> ending_{false};
  uint64_t lostReported_ = 0;  // delivery thread only
  std::thread delivery_;
};

}  // namespace midi
