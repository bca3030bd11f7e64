#include "platform/midi/message_handover.h"

#include "platform/midi/midi_log.h"
#include "platform/midi/short_message.h"

namespace midi {

static_assert((MessageHandover::kCapacity & (MessageHandover::kCapacity - 1)) == 0, "a power of two");

MessageHandover::MessageHandover(ShortMessageHandler handler) : handler_(std::move(handler)) {
  sem_init(&ready_, 0, 0);
  delivery_ = std::thread([this] { Deliver(); });
}

MessageHandover::~MessageHandover() {
  ending_.store(true);
  sem_post(&ready_);
  delivery_.join();
  sem_destroy(&ready_);
}

void MessageHandover::Start() {
  std::lock_guard lock(deliveryMutex_);
  start_.store(Now(), std::memory_order_relaxed);
  epoch_.fetch_add(1, std::memory_order_release);
  started_.store(true, std::memory_order_release);
}

void MessageHandover::Stop() {
  started_.store(false, std::memory_order_release);
  std::lock_guard lock(deliveryMutex_);
}

void MessageHandover::Receive(const unsigned char* bytes, size_t size) {
  const std::optional<uint32_t> message = PackShortMessage(bytes, size);
  if (!message || !started_.load(std::memory_order_acquire)) return;
  const uint32_t epoch = epoch_.load(std::memory_order_acquire);
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::duration(Now() - start_.load(std::memory_order_relaxed)));
  const size_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) == kCapacity) {
    lost_.fetch_add(1, std::memory_order_relaxed);
  } else {
    entries_[tail & (kCapacity - 1)] = Entry{*message, static_cast<uint32_t>(elapsed.count()), epoch};
    tail_.store(tail + 1, std::memory_order_release);
    received_.fetch_add(1, std::memory_order_relaxed);
  }
  sem_post(&ready_);
}

InputPort::Counts MessageHandover::Counted() const {
  return {received_.load(std::memory_order_relaxed), lost_.load(std::memory_order_relaxed)};
}

void MessageHandover::Deliver() {
  for (;;) {
    while (sem_wait(&ready_) != 0) {
    }
    if (ending_.load()) return;
    size_t head = head_.load(std::memory_order_relaxed);
    while (head != tail_.load(std::memory_order_acquire)) {
      const Entry entry = entries_[head & (kCapacity - 1)];
      head_.store(++head, std::memory_order_release);
      std::lock_guard lock(deliveryMutex_);
      if (started_.load(std::memory_order_acquire) && entry.epoch == epoch_.load(std::memory_order_acquire))
        handler_(entry.message, entry.timeMs);
    }
    const uint64_t lost = lost_.load(std::memory_order_relaxed);
    if (lost != lostReported_) {
      Log("MIDI input: %llu messages lost, the hand-over queue of %zu was full",
          static_cast<unsigned long long>(lost - lostReported_), kCapacity);
      lostReported_ = lost;
    }
  }
}

}  // namespace midi
