#include <gtest/gtest.h>

#include <RtMidi.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/midi/midi_input.h"
#include "support/dummy_jack_server.h"

// JACK's ring buffer is lock-free with barriers the thread checker can't see
// inside the uninstrumented library.
extern "C" const char* __tsan_default_suppressions() { return "race:libjack.so\n"; }

namespace midi {
namespace {

bool SequencerPresent() { return access("/dev/snd/seq", R_OK | W_OK) == 0; }

using lvtest::DummyJackServer;
bool JackServerListening() { return lvtest::JackTestServerListening(); }

// Without a MIDI system the list is simply empty; opening a device that is
// not listed fails cleanly.
TEST(MidiInputSystem, ListsDevicesAndRefusesUnknownOnes) {
  auto system = CreateInputSystem();
  ASSERT_TRUE(system);
  std::vector<std::string> names = system->DeviceNames();
  if (!SequencerPresent() && !JackServerListening()) {
    EXPECT_TRUE(names.empty());
  }
  std::string error;
  EXPECT_FALSE(system->Open(static_cast<int>(names.size()), [](uint32_t, uint32_t) {}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(system->Open(-1, [](uint32_t, uint32_t) {}, &error));
  EXPECT_FALSE(CreateInputSystem()->OpenByName("No Such Keys", [](uint32_t, uint32_t) {}, &error));
  EXPECT_NE(error.find("No Such Keys"), std::string::npos);
}

struct Received {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::pair<uint32_t, uint32_t>> messages;

  void Add(uint32_t message, uint32_t time) {
    std::lock_guard lock(mutex);
    messages.emplace_back(message, time);
    arrived.notify_all();
  }
  bool WaitFor(size_t count) {
    std::unique_lock lock(mutex);
    return arrived.wait_for(lock, std::chrono::seconds(5), [&] { return messages.size() >= count; });
  }
  size_t Count() {
    std::lock_guard lock(mutex);
    return messages.size();
  }
  void Clear() {
    std::lock_guard lock(mutex);
    messages.clear();
  }
};

// A virtual output port of this test (on the ALSA sequencer, else on JACK)
// is listed as an input device; what it
// sends arrives packed, stamped and in order, and only between Start and Stop.
TEST(MidiInputSystem, DeliversShortMessagesFromAVirtualPort) {
  std::unique_ptr<DummyJackServer> jack;
  if (!SequencerPresent()) jack = std::make_unique<DummyJackServer>();
  if (!SequencerPresent() && !JackServerListening()) GTEST_SKIP() << "no ALSA sequencer and no JACK server";
  RtMidiOut keys(SequencerPresent() ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK, "lv test keys");
  keys.openVirtualPort("lv virtual keys");

  auto system = CreateInputSystem();
  std::vector<std::string> names = system->DeviceNames();
  EXPECT_NE(std::find(names.begin(), names.end(), "lv test keys:lv virtual keys"), names.end())
      << "the virtual port is not listed under its stable name";

  Received received;
  std::string error;
  auto port = system->OpenByName("lv test keys:lv virtual keys",
                                 [&](uint32_t m, uint32_t t) { received.Add(m, t); }, &error);
  ASSERT_TRUE(port) << error;
  auto send = [&](std::vector<unsigned char> bytes) { keys.sendMessage(&bytes); };

  // A new connection goes live within a few driver cycles: ping with active
  // sensing until one comes through.
  port->Start();
  for (int i = 0; i < 100 && received.Count() == 0; ++i) {
    send({0xFE});
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  ASSERT_GT(received.Count(), 0u) << "the virtual port never reached the input";
  port->Stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  received.Clear();

  send({0x90, 1, 1});  // while stopped: not delivered
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto beforeStart = std::chrono::steady_clock::now();
  port->Start();
  send({0x90, 60, 100});
  send({0xF0, 0x7E, 0x7F, 0xF7});  // long data: not delivered
  send({0xC2, 5});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  send({0x80, 60, 0});
  ASSERT_TRUE(received.WaitFor(3));
  port->Stop();
  send({0x90, 2, 2});
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto sinceStart =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - beforeStart).count();

  std::lock_guard lock(received.mutex);
  ASSERT_EQ(received.messages.size(), 3u);
  EXPECT_EQ(received.messages[0].first, 0x643C90u);
  EXPECT_EQ(received.messages[1].first, 0x05C2u);
  EXPECT_EQ(received.messages[2].first, 0x003C80u);
  // Stamps count from Start and never run backwards.
  EXPECT_LE(received.messages[0].second, received.messages[1].second);
  EXPECT_LE(received.messages[1].second, received.messages[2].second);
  EXPECT_LE(received.messages[2].second, sinceStart);
}

}  // namespace
}  // namespace midi
