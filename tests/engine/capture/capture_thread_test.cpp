// Recording while the MIDI thread pushes and the render thread runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "capture/capture_recording.h"
#include "capture_test_support.h"
#include "performer/performer.h"
#include "platform/sys/clock.h"

namespace lvtest {
namespace {

// Walks the records; false at a record that does not fit the format.
bool WholeRecords(const std::vector<uint8_t>& bytes, int* events, int* spectra) {
  size_t at = 0;
  while (at < bytes.size()) {
    if (bytes[at] == lv::kCaptureEventRecord) {
      at += lv::kCaptureEventRecordBytes;
      ++*events;
    } else if (bytes[at] == lv::kCaptureSpectrumRecord) {
      at += lv::kCaptureSpectrumRecordBytes;
      ++*spectra;
    } else {
      return false;
    }
  }
  return at == bytes.size();
}

TEST(CaptureThreads, StoppingARecordingWhileEventsArriveLeavesOnlyWholeRecords) {
  ScratchFolder folder;
  FakeAudio audio;
  lv::Performer performer;
  performer.SetAudioInput(&audio);
  performer.SetState(lv::Live);
  ASSERT_TRUE(performer.Start());

  for (int round = 0; round < 5; ++round) {
    const auto path = folder / ("take" + std::to_string(round) + ".midicap");
    std::atomic<bool> pushing{true};
    std::atomic<int> pushed{0};
    std::thread midi([&] {
      while (pushing.load() && pushed.load() < 20000) {
        performer.PushMidi({Message(0xF8), 0});
        ++pushed;
        if (pushed.load() % 64 == 0) std::this_thread::yield();
      }
    });
    ASSERT_EQ(lv::StartCaptureRecording(performer, path), lv::RecordStart::Started);
    sys::Sleep(20);
    EXPECT_TRUE(lv::StopCaptureRecording(performer));
    sys::Sleep(5);
    pushing = false;
    midi.join();

    int events = 0;
    int spectra = 0;
    EXPECT_TRUE(WholeRecords(ReadBytes(path), &events, &spectra)) << round;
    EXPECT_GT(spectra, 0) << round;
    EXPECT_EQ(performer.State(), lv::Live);
  }
  performer.Stop();
}

}  // namespace
}  // namespace lvtest
