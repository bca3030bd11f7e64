// The MIDI input's hand-over from the driver's thread to the program's own
// delivery thread, into a recording Performer whose ring lock is held by a
// slow capture write on another thread: the driver's side never waits, and
// every message arrives, in order; a full queue is counted and logged.
#include "platform/midi/message_handover.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "performance/performance.h"
#include "performer/capture_file.h"
#include "performer/performer.h"
#include "platform/midi/midi_log.h"

namespace {

// A capture file whose first write of a held event waits for the test: the
// writer keeps the Performer's ring lock meanwhile, as a slow disk would.
class GatedCapture final : public lv::CaptureFile {
 public:
  void WriteEvent(const lv::MidiEvent& event) override {
    std::unique_lock lock(mutex);
    if (event.message == kHeld) {
      holding = true;
      changed.notify_all();
      changed.wait(lock, [&] { return released; });
      return;
    }
    written.push_back(event.message);
    changed.notify_all();
  }
  void WriteSpectrum(const float*) override {}
  bool Feed(lv::Performer&, uint32_t) override { return false; }

  static constexpr uint32_t kHeld = 0x7F7FB0;
  std::mutex mutex;
  std::condition_variable changed;
  bool holding = false;
  bool released = false;
  std::vector<uint32_t> written;
};

std::vector<std::string> logged;
std::mutex loggedMutex;
void KeepLine(const char* line) {
  std::lock_guard lock(loggedMutex);
  logged.emplace_back(line);
}

TEST(MidiHandover, TheDriverNeverWaitsForTheRingLockAndNothingIsLostOrReordered) {
  lv::Performer performer;
  auto* performance = new lv::Performance;
  performance->CreateBank(0);
  performance->SelectBank(0);
  performer.SetPerformance(performance);
  performer.SetState(lv::Live);
  auto owned = std::make_unique<GatedCapture>();
  GatedCapture& capture = *owned;
  ASSERT_TRUE(performer.StartRecording(std::move(owned)));
  performer.Start();  // the render thread drains the ring
  midi::Log.SetSink(&KeepLine);

  midi::MessageHandover handover([&](uint32_t message, uint32_t) { performer.PushMidi({message, 0}); });
  handover.Start();

  // The computer keyboard plays while recording: its write holds the ring lock.
  auto keyboard = std::async(std::launch::async, [&] { performer.PushMidi({GatedCapture::kHeld, 0}); });
  {
    std::unique_lock lock(capture.mutex);
    ASSERT_TRUE(capture.changed.wait_for(lock, std::chrono::seconds(10), [&] { return capture.holding; }));
  }

  // The driver's thread: a dense burst, then more than the queue holds.
  constexpr int kSent = 1000;
  constexpr int kOverflow = 5;
  auto driver = std::async(std::launch::async, [&] {
    for (int i = 0; i < kSent + static_cast<int>(midi::MessageHandover::kCapacity) + kOverflow; ++i) {
      const unsigned char bytes[3] = {0xB0, static_cast<unsigned char>(i >> 7 & 0x7F),
                                      static_cast<unsigned char>(i & 0x7F)};
      handover.Receive(bytes, 3);
    }
  });
  ASSERT_EQ(driver.wait_for(std::chrono::seconds(30)), std::future_status::ready)
      << "the driver's side waited for the ring lock";
  const midi::InputPort::Counts counts = handover.Counted();
  // The delivery thread took at most one message before it met the lock.
  EXPECT_GE(counts.received, midi::MessageHandover::kCapacity);
  EXPECT_GE(counts.lost, static_cast<uint64_t>(kSent + kOverflow - 1));
  EXPECT_EQ(counts.received + counts.lost, kSent + midi::MessageHandover::kCapacity + kOverflow);

  {
    std::lock_guard lock(capture.mutex);
    capture.released = true;
    capture.changed.notify_all();
  }
  keyboard.get();
  {
    std::unique_lock lock(capture.mutex);
    ASSERT_TRUE(capture.changed.wait_for(lock, std::chrono::seconds(30),
                                         [&] { return capture.written.size() == counts.received; }));
    // What arrived is the first messages sent, in order, none twice.
    for (size_t i = 0; i < capture.written.size(); ++i) {
      const uint32_t expected = 0xB0u | static_cast<uint32_t>(i >> 7 & 0x7F) << 8 | static_cast<uint32_t>(i & 0x7F) << 16;
      ASSERT_EQ(capture.written[i], expected) << "message " << i;
    }
  }
  handover.Stop();
  performer.Stop();
  midi::Log.SetSink(nullptr);
  std::lock_guard lock(loggedMutex);
  bool told = false;
  for (const std::string& line : logged) told = told || line.find(std::to_string(counts.lost) + " messages lost") != std::string::npos;
  EXPECT_TRUE(told) << "the loss was not logged";
}

}  // namespace
