// Recording while the MIDI thread pushes and the render thread runs, and
// playback on the render thread's own loop.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/capture_recording.h"
#include "capture_test_support.h"
#include "fake_frame_device.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "platform/sys/clock.h"
#include "recording_window.h"

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
    // Two pass starts after the recording began: at least one whole pass
    // wrote its spectrum, however busy the machine is.
    const int passesAtStart = audio.passes.load();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (audio.passes.load() < passesAtStart + 2 && std::chrono::steady_clock::now() < giveUp) sys::Sleep(1);
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

using SteadyClock = std::chrono::steady_clock;

// Stamps every note-on reported to it with the wall clock.
class TimedNoteWindow : public lv::MessageWindow {
 public:
  void Post(uint32_t message, uintptr_t, intptr_t) override {
    if (message != lv::kNoteOnMessage) return;
    std::lock_guard lock(mutex_);
    times_.push_back(SteadyClock::now());
  }
  // The times of the first `count` note-ons, once they came (at most 20 s).
  std::vector<SteadyClock::time_point> WaitFor(size_t count) {
    const auto giveUp = SteadyClock::now() + std::chrono::seconds(20);
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (times_.size() >= count || SteadyClock::now() > giveUp) return times_;
      }
      sys::Sleep(1);
    }
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    times_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<SteadyClock::time_point> times_;
};

double MsBetween(SteadyClock::time_point from, SteadyClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

bool CountFrame(void* frames) {
  ++*static_cast<std::atomic<int>*>(frames);
  return true;
}

// The real render thread on a display whose Present returns at once (a
// virtual display, software rendering, an off-screen surface).
class CapturePlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    CaptureBytes{}.Event(Message(0x90, 60, 100), 50000).Event(Message(0x90, 62, 100), 52000).Save(path);
    performer.SetDevice(&device);
    performer.SetNoteWindow(&notes);
    performer.SetMainDialog(&mainDialog);
    performer.SetChannelMask(0xFFFF);
    performer.SetState(lv::Live);
    ASSERT_TRUE(performer.Start());
  }
  void TearDown() override { performer.Stop(); }

  // What the main dialog's stop does to the Performer.
  void StopPlayback() {
    performer.SetState(lv::Live);
    performer.CloseCaptureFile();
    notes.Clear();
  }

  ScratchFolder folder;
  const std::filesystem::path path = folder / "two notes.midicap";  // recorded 2000 ms apart
  Journal journal;
  FakeFrameDevice device{&journal};
  TimedNoteWindow notes;
  RecordingWindow mainDialog;
  lv::Performer performer;
};

TEST_F(CapturePlayback, PlaysAtTheRecordedPaceWhilePresentDoesNotWaitAndRendersOfflineAtOnce) {
  ASSERT_TRUE(performer.StartPlayback(path, 59.94f, nullptr, nullptr));
  const std::vector<SteadyClock::time_point> played = notes.WaitFor(2);
  ASSERT_EQ(played.size(), 2u);
  EXPECT_NEAR(MsBetween(played[0], played[1]), 2000.0, 200.0);
  StopPlayback();

  std::atomic<int> frames{0};
  const SteadyClock::time_point started = SteadyClock::now();
  ASSERT_TRUE(performer.StartPlayback(path, 29.97f, CountFrame, &frames));
  const std::vector<SteadyClock::time_point> rendered = notes.WaitFor(2);
  ASSERT_EQ(rendered.size(), 2u);
  EXPECT_LT(MsBetween(started, rendered[1]), 1000.0) << "an offline render is held to the wall clock";
  EXPECT_GE(frames.load(), 60);  // the second note is due at the 61st frame's clock
  StopPlayback();
}

TEST_F(CapturePlayback, AWaitForTheNextFrameEndsAtOnceOnLeavingPlaybackOrOnStop) {
  // Five seconds a frame: after its first pass the playback waits.
  for (const bool stop : {false, true}) {
    ASSERT_TRUE(performer.StartPlayback(path, 0.2f, nullptr, nullptr));
    ASSERT_EQ(notes.WaitFor(1).size(), 1u) << "the second note, a frame later, came at once";
    if (stop) {
      EXPECT_TRUE(performer.Stop(2000)) << "Stop waited for the frame";
      continue;
    }
    const int presents = device.presents.load();
    performer.SetState(lv::Live);  // Esc
    const uint32_t left = sys::TimeMs();
    while (device.presents.load() < presents + 2 && sys::TimeMs() - left < 2000) sys::Sleep(1);
    EXPECT_GE(device.presents.load(), presents + 2) << "no live frame while the playback's frame was awaited";
    StopPlayback();
  }
}

}  // namespace
}  // namespace lvtest
