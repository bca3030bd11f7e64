// Closing the input from the user-interface thread while the render thread
// analyses and the device returns buffers on a thread of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "audio/audio_input.h"
#include "fake_wave_in.h"
#include "platform/audio/audio_log.h"
#include "signals.h"

namespace {

void Quiet(const char*) {}

class AudioInputCloseTest : public ::testing::Test {
 protected:
  AudioInputCloseTest() {
    audio::SetLogSink(&Quiet);
    devices_.entries.push_back({{"Line In", audio::kFormat4S16}});
    input_.FindDevices();
    input_.Open(input_.FirstDevice());
  }
  ~AudioInputCloseTest() override {
    input_.Shutdown();
    audio::SetLogSink(nullptr);
  }
  FakeWaveInDevices devices_;
  AudioInput input_{devices_};
};

// The pass hands its buffer back to the device only after the close has
// begun. Were the close not to wait for it, the buffer would be queued on
// the reset device and never return.
TEST_F(AudioInputCloseTest, CloseWaitsForThePassThatHoldsABuffer) {
  ASSERT_TRUE(devices_.state.ReturnNext(signals::Tone(8, 8000)));

  std::mutex m;
  std::condition_variable cv;
  bool inAdd = false, release = false;
  devices_.state.onAddBuffer = [&] {  // holds the first hand-back only
    std::unique_lock lock(m);
    if (inAdd) return;
    inAdd = true;
    cv.notify_all();
    cv.wait(lock, [&] { return release; });
  };
  std::thread render([&] { input_.Process(); });
  {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return inAdd; });
  }

  std::thread ui([&] { input_.Open(nullptr); });
  while (input_.IsProcessing()) std::this_thread::yield();
  {
    std::lock_guard lock(m);
    release = true;
  }
  cv.notify_all();
  render.join();
  ui.join();

  EXPECT_FALSE(input_.IsOpen());
  EXPECT_EQ(devices_.state.addedAfterReset, 0);
  EXPECT_EQ(devices_.state.heldAtClose, 0);
}

// Reopening and closing over and over while the device streams, the render
// thread analyses and another thread reads the results.
TEST_F(AudioInputCloseTest, RepeatedCloseAndReopenWhileStreaming) {
  std::atomic<bool> stop{false};
  std::atomic<int> handedBack{0};
  devices_.state.onAddBuffer = [&] { ++handedBack; };
  const std::vector<uint8_t> tone = signals::Tone(8, 8000);
  std::thread device([&] {
    while (!stop) {
      if (!devices_.state.ReturnNext(tone)) std::this_thread::yield();
    }
  });
  std::thread render([&] {
    while (!stop) input_.Process();
  });
  std::thread reader([&] {
    float sum = 0;
    while (!stop) sum += input_.GetBandLevel(2) + input_.GetBeat();
    EXPECT_GE(sum, 0.0f);
  });

  for (int i = 0; i < 40; ++i) {
    // Let a few buffers go round before each close, so that closes meet
    // passes at work.
    const int goal = handedBack + 6 + 3;
    while (handedBack < goal) std::this_thread::yield();
    input_.Open(nullptr);
    input_.Open(input_.FirstDevice());
    ASSERT_TRUE(input_.IsOpen());
  }
  input_.Open(nullptr);
  stop = true;
  device.join();
  render.join();
  reader.join();

  EXPECT_EQ(devices_.state.addedAfterReset, 0);
  EXPECT_EQ(devices_.state.heldAtClose, 0);
}

}  // namespace
