// The MIDI input's hand-over from the driver's thread to the program's own
// delivery thread, into a recording Performer whose ring lock is held by a
// slow capture write on another thread: the driver's side never waits, and
// every message arrives, in order; a full queue is counted and logged. Then
// the same through a real JACK port fed at a high rate.
#include "platform/midi/message_handover.h"

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/midi_class.h"
#include "performance/performance.h"
#include "performer/capture_file.h"
#include "performer/performer.h"
#include "platform/midi/midi_input.h"
#include "platform/midi/midi_log.h"
#include "support/dummy_jack_server.h"

// JACK's ring buffer is lock-free with barriers the thread checker can't see
// inside the uninstrumented library.
extern "C" const char* __tsan_default_suppressions() { return "race:libjack.so\n"; }

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
      if (holdFor.count() > 0) {
        changed.wait_for(lock, holdFor, [&] { return released; });
      } else {
        changed.wait(lock, [&] { return released; });
      }
      return;
    }
    written.push_back(event.message);
    changed.notify_all();
  }
  void WriteSpectrum(const float*) override {}
  bool Feed(lv::Performer&, uint32_t) override { return false; }

  static constexpr uint32_t kHeld = 0x7F7FB0;
  // Each held write keeps the ring lock this long; unbounded when zero,
  // until `released`.
  std::chrono::milliseconds holdFor{0};
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

// A JACK client of the test's own whose output port first sends active
// sensing every period, until told to go, then the messages in order, a
// burst each period.
class JackKeys {
 public:
  JackKeys(std::vector<std::array<unsigned char, 3>> messages, size_t perPeriod)
      : messages_(std::move(messages)), perPeriod_(perPeriod) {
    client_ = jack_client_open("lv rate keys", JackNoStartServer, nullptr);
    if (client_ == nullptr) return;
    port_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client_, &JackKeys::Process, this);
    if (port_ == nullptr || jack_activate(client_) != 0) {
      jack_client_close(client_);
      client_ = nullptr;
    }
  }
  ~JackKeys() {
    if (client_ == nullptr) return;
    jack_deactivate(client_);
    jack_client_close(client_);
  }

  bool ok() const { return client_ != nullptr; }
  void Go() { sending_.store(true); }
  bool Sent() const { return sent_.load() == messages_.size(); }

 private:
  static int Process(jack_nframes_t frames, void* self) {
    static_cast<JackKeys*>(self)->Fill(frames);
    return 0;
  }

  void Fill(jack_nframes_t frames) {
    void* buffer = jack_port_get_buffer(port_, frames);
    jack_midi_clear_buffer(buffer);
    if (!sending_.load()) {
      const jack_midi_data_t sensing = 0xFE;
      jack_midi_event_write(buffer, 0, &sensing, 1);
      return;
    }
    size_t next = sent_.load(std::memory_order_relaxed);
    for (size_t k = 0; k < perPeriod_ && next < messages_.size(); ++k, ++next) {
      const auto at = static_cast<jack_nframes_t>(k * frames / perPeriod_);
      if (jack_midi_event_write(buffer, at, messages_[next].data(), 3) != 0) break;  // the buffer is full
    }
    sent_.store(next);
  }

  const std::vector<std::array<unsigned char, 3>> messages_;
  const size_t perPeriod_;
  jack_client_t* client_ = nullptr;
  jack_port_t* port_ = nullptr;
  std::atomic<bool> sending_{false};
  std::atomic<size_t> sent_{0};
};

// Thousands of pitch bends a second from another JACK client's port into a
// recording Performer while the computer keyboard's writes keep its ring lock
// most of the time, as a slow disk would: every message is recorded, in the
// order sent, none twice. Closed, the input leaves no client of the program's
// behind on the server.
TEST(MidiHandover, MessagesAtAHighRateThroughAJackPortAllArriveInOrderWhileTheRingLockIsHeld) {
  lvtest::DummyJackServer server;
  if (!lvtest::JackTestServerListening()) GTEST_SKIP() << "no JACK server";
  constexpr size_t kSent = 8192;  // twice what the hand-over's queue holds
  std::vector<std::array<unsigned char, 3>> messages;
  std::vector<uint32_t> expected;
  for (size_t i = 0; i < kSent; ++i) {
    const auto status = static_cast<unsigned char>(0xE0 | (i >> 14 & 0x0F));
    const auto low = static_cast<unsigned char>(i & 0x7F);
    const auto high = static_cast<unsigned char>(i >> 7 & 0x7F);
    messages.push_back({status, low, high});
    expected.push_back(status | static_cast<uint32_t>(low) << 8 | static_cast<uint32_t>(high) << 16);
  }
  // 128 a period of 1024 frames at 48 kHz: 6,000 a second.
  JackKeys keys(std::move(messages), 128);
  ASSERT_TRUE(keys.ok());

  lv::Performer performer;
  auto* performance = new lv::Performance;
  performance->CreateBank(0);
  performance->SelectBank(0);
  performer.SetPerformance(performance);
  performer.SetState(lv::Live);
  auto owned = std::make_unique<GatedCapture>();
  GatedCapture& capture = *owned;
  capture.holdFor = std::chrono::milliseconds(40);
  ASSERT_TRUE(performer.StartRecording(std::move(owned)));
  performer.Start();

  lv::MidiClass midi(midi::CreateInputSystem());
  midi.Init();
  ASSERT_GE(midi.FindDevice("lv rate keys:out"), 0) << "the test's port is not listed";
  ASSERT_TRUE(midi.Open("lv rate keys:out", &performer));
  auto recorded = [&] {
    std::vector<uint32_t> found;
    for (uint32_t message : capture.written)
      if (message != 0xFE) found.push_back(message);
    return found;
  };
  {
    // The connection is live once active sensing comes through.
    std::unique_lock lock(capture.mutex);
    ASSERT_TRUE(capture.changed.wait_for(lock, std::chrono::seconds(30), [&] { return !capture.written.empty(); }))
        << "nothing came through the port";
  }

  std::atomic<bool> playing{true};
  std::thread keyboard([&] {
    while (playing.load()) {
      performer.PushMidi({GatedCapture::kHeld, 0});
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  keys.Go();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!keys.Sent() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(keys.Sent());
  {
    std::unique_lock lock(capture.mutex);
    capture.changed.wait_until(lock, deadline, [&] { return recorded().size() >= kSent; });
  }
  playing.store(false);
  keyboard.join();
  midi.Close();
  performer.Stop();
  // With its last port closed the program keeps no client of the server
  // (libjack keeps a semaphore file for each client while it is open).
  const std::string watchFile = "_" + lvtest::JackTestServerName() + "_Lorvan GPU watch";
  std::error_code code;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/shm", code))
    EXPECT_EQ(entry.path().filename().string().find(watchFile), std::string::npos) << entry.path();

  std::lock_guard lock(capture.mutex);
  const std::vector<uint32_t> found = recorded();
  ASSERT_EQ(found.size(), kSent) << "messages lost or added";
  for (size_t i = 0; i < kSent; ++i) ASSERT_EQ(found[i], expected[i]) << "message " << i;
}

}  // namespace
