#include <gtest/gtest.h>

#include "modulation/audio_input.h"
#include "modulation/lfo.h"
#include "performer/capture_file.h"
#include "performer_fixture.h"

namespace lvtest {
namespace {

using Strings = std::vector<std::string>;
using FrameLoop = PerformerTest;

class CountingAudio : public lv::AudioInput {
 public:
  void ProcessPass() override { ++passes; }
  const float* Spectrum() const override { return spectrum; }
  float BandLevel(int) const override { return 0.0f; }
  float Level() const override { return 0.0f; }
  float Beat() const override { return 0.0f; }
  int passes = 0;
  float spectrum[kSpectrumLength] = {};
};

// Records what the loop writes, and plays back a list of timed messages.
class FakeCapture : public lv::CaptureFile {
 public:
  explicit FakeCapture(Journal* journal) : journal_(journal) {}
  void WriteEvent(const lv::MidiEvent& event) override { journal_->Add("event:" + std::to_string(event.message)); }
  void WriteSpectrum(const float* spectrum) override {
    journal_->Add("spectrum:" + std::to_string(spectrum[0]));
  }
  bool Feed(lv::Performer& performer, uint32_t now) override {
    feeds.push_back(now);
    while (next < events.size() && events[next].time <= now) performer.PushMidi(events[next++]);
    return next < events.size();
  }
  std::vector<lv::MidiEvent> events;
  size_t next = 0;
  std::vector<uint32_t> feeds;

 private:
  Journal* journal_;
};

TEST_F(FrameLoop, OnlyDrawingStatesBeginAndPresentFramesButEveryPassAnalysesAudio) {
  CountingAudio audio;
  performer.SetAudioInput(&audio);
  Play();
  const struct {
    lv::PerformerState state;
    bool frames;
  } cases[] = {{lv::Halted, false},    {lv::Live, true},    {lv::NoteSelect, false},    {lv::FullScreen, true},
               {lv::Editing, false},   {lv::Recording, true}, {lv::PlayingCapture, true}};
  for (const auto& c : cases) {
    performer.SetState(c.state);
    journal.Clear();
    Pass();
    EXPECT_EQ(journal.Entries(), c.frames ? (Strings{"begin", "target:-1", "end", "present"}) : Strings{})
        << "state " << c.state;
  }
  EXPECT_EQ(audio.passes, 7);
}

TEST_F(FrameLoop, NotesAndLfosAdvanceByTheTimeBetweenPasses) {
  TestPlug* a = AddPatch(60, "A");
  Play();
  lv::LfoTable[7] = lv::Lfo{};
  lv::LfoTable[7].rate = 2.0f;
  Pass({NoteOnMessage(0, 60, 100)});
  testNow += 9;
  Pass();
  EXPECT_EQ(a->lastRenderMs, 25u);
  EXPECT_EQ(performer.FrameTime(), 25);
  EXPECT_FLOAT_EQ(lv::LfoTable[7].accumulator, 0.082f);  // 2 cycles/s over 16 + 25 ms
  EXPECT_EQ(bank->slots[60].bindings.time, 25 + 16);
}

TEST_F(FrameLoop, PlaybackRunsOnTheFrameStepAndDeliversEventsWhenDue) {
  AddPatch(60, "A");
  FakeCapture capture(&journal);
  capture.events = {{NoteOnMessage(0, 60, 100), 0}, {NoteOffMessage(0, 60), 80}, {Message(0xF8), 81}};
  Play();
  performer.SetCaptureFile(&capture);
  performer.SetPlayback(40.0, nullptr, nullptr);
  performer.SetState(lv::PlayingCapture);
  TestPlug* a = static_cast<TestPlug*>(bank->slots[60].patch.get());

  Pass();
  EXPECT_EQ(journal.Matching("o"), (Strings{"on:A"}));
  EXPECT_EQ(a->lastRenderMs, 0u);
  Pass();
  EXPECT_EQ(a->lastRenderMs, 40u);
  Pass();  // clock 80: the note-off is due, the clock tick not yet
  EXPECT_EQ(journal.Matching("o"), (Strings{"on:A", "off:A"}));
  EXPECT_EQ(performer.Controllers().Clock(), 0u);
  EXPECT_TRUE(mainDialog.Posted().empty());
  Pass();  // clock 120: the last event, and the end of the file
  EXPECT_EQ(performer.Controllers().Clock(), 1u);
  EXPECT_EQ(capture.feeds, (std::vector<uint32_t>{0, 40, 80, 120}));
  EXPECT_EQ(mainDialog.Posted(), (std::vector<PostedMessage>{{lv::kPlaybackEndMessage, 0, 0}}));
}

bool StopRendering(void* argument) {
  return --*static_cast<int*>(argument) > 0;
}

TEST_F(FrameLoop, AFrameCallbackThatAnswersFalseAsksTheMainDialogToStop) {
  int framesLeft = 2;
  Play();
  performer.SetPlayback(1000.0 / 30.0f, StopRendering, &framesLeft);
  performer.SetState(lv::PlayingCapture);
  Pass();
  EXPECT_TRUE(mainDialog.Posted().empty());
  Pass();
  EXPECT_EQ(mainDialog.Posted().size(), 1u);
  EXPECT_EQ(journal.Matching("present").size(), 2u);  // the pass still presents
}

TEST_F(FrameLoop, TheFirstLiveFrameAfterPlaybackGetsOneFramesTime) {
  TestPlug* a = AddPatch(60, "A");
  Play();
  Pass({NoteOnMessage(0, 60, 100)});
  performer.SetPlayback(10.0, nullptr, nullptr);
  performer.SetState(lv::PlayingCapture);
  for (int i = 0; i < 100; ++i) Pass();  // 1.6 s of wall clock
  performer.SetState(lv::Live);
  Pass();
  EXPECT_EQ(a->lastRenderMs, 16u);
}

TEST_F(FrameLoop, PlaybackFeedingMoreThanTheRingHoldsLosesNothing) {
  FakeCapture capture(&journal);
  for (int i = 0; i < 3000; ++i) capture.events.push_back({Message(0xF8), 0});
  capture.events.push_back({Message(0xF8), 1000});
  Play();
  performer.SetCaptureFile(&capture);
  performer.SetPlayback(40.0, nullptr, nullptr);
  performer.SetState(lv::PlayingCapture);
  Pass();
  EXPECT_EQ(performer.Controllers().Clock(), 3000u);
}

TEST_F(FrameLoop, RecordingWritesEveryEventAndASpectrumAfterEveryFrame) {
  FakeCapture capture(&journal);
  Play();
  performer.SetCaptureFile(&capture);
  performer.SetState(lv::Recording);
  Pass({Message(0xB0, 1, 2), Message(0xF8)});
  EXPECT_EQ(journal.Entries(), (Strings{"event:" + std::to_string(Message(0xB0, 1, 2)),
                                        "event:" + std::to_string(Message(0xF8)), "begin", "target:-1",
                                        "spectrum:0.000000", "end", "present"}));
  performer.SetState(lv::Live);
  journal.Clear();
  Pass({Message(0xF8)});
  EXPECT_TRUE(journal.Matching("event").empty());
  EXPECT_TRUE(journal.Matching("spectrum").empty());
}

}  // namespace
}  // namespace lvtest
