#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "capture/capture_recording.h"
#include "capture_test_support.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "recording_window.h"

namespace lvtest {
namespace {

std::atomic<uint32_t> clockMs{0};
uint32_t TestClock() { return clockMs.load(); }

class CaptureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clockMs = 0;
    performer.SetNoteWindow(&noteWindow);
    performer.SetMainDialog(&mainDialog);
    performer.SetAudioInput(&audio);
    performer.SetCaptureAudio(&audio);
    performer.SetChannelMask(0xFFFF);
    performer.SetState(lv::Live);
  }
  void TearDown() override { performer.CloseCaptureFile(); }

  // Plays `file` at `fps` for `passes` passes; returns, for each note-on
  // reported, the pass it was delivered in, by note number order of arrival.
  std::vector<int> PlayNotes(const CaptureBytes& file, float fps, int passes) {
    file.Save(folder / "play.midicap");
    EXPECT_TRUE(performer.StartPlayback(folder / "play.midicap", fps, nullptr, nullptr));
    std::vector<int> deliveredIn;
    for (int pass = 0; pass < passes; ++pass) {
      performer.RunPass();
      for (const PostedMessage& posted : noteWindow.Posted())
        if (posted.message == lv::kNoteOnMessage) deliveredIn.push_back(pass);
      noteWindow.Clear();
    }
    return deliveredIn;
  }

  std::vector<PostedMessage> EndMessages() {
    std::vector<PostedMessage> ends;
    for (const PostedMessage& posted : mainDialog.Posted())
      if (posted.message == lv::kPlaybackEndMessage) ends.push_back(posted);
    return ends;
  }

  ScratchFolder folder;
  lv::Performer performer{&TestClock};
  RecordingWindow noteWindow;
  RecordingWindow mainDialog;
  FakeAudio audio;
};

TEST_F(CaptureFileTest, ARecordingHoldsEventsStampedOnOneClockAndASpectrumAfterEachFrame) {
  const auto target = folder / "show.midicap";
  CaptureBytes{}.Event(Message(0xF8), 1).Save(target);  // an earlier recording

  clockMs = 1000;
  ASSERT_EQ(lv::StartCaptureRecording(performer, target), lv::RecordStart::Started);
  EXPECT_EQ(performer.State(), lv::Recording);
  // Driver stamps start at 0 when the input opens; the file takes the
  // system clock instead so keyboard and device events share one clock.
  performer.PushMidi({Message(0x90, 60, 100), 3});
  clockMs = 1040;
  performer.PushMidi({Message(0xB1, 7, 99), 0xFFFFFFF0});
  audio.Fill(0.25f);
  performer.RunPass();
  EXPECT_EQ(ReadBytes(target), CaptureBytes{}.Event(Message(0xF8), 1).bytes) << "replaced before the stop";

  EXPECT_TRUE(lv::StopCaptureRecording(performer));
  EXPECT_EQ(performer.State(), lv::Live);
  performer.PushMidi({Message(0xF8), 2000});
  performer.RunPass();

  const std::vector<uint8_t> expected = CaptureBytes{}
                                            .Raw({0x01, 0x90, 0x3C, 0x64, 0x00, 0xE8, 0x03, 0x00, 0x00})
                                            .Raw({0x01, 0xB1, 0x07, 0x63, 0x00, 0x10, 0x04, 0x00, 0x00})
                                            .Spectrum(0.25f)
                                            .bytes;
  EXPECT_EQ(ReadBytes(target), expected);
  EXPECT_EQ(expected[9 + 9 + 1], 0x00);  // 0.25f = 0x3E800000, little-endian
  EXPECT_EQ(expected[9 + 9 + 4], 0x3E);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.midicap"});
}

TEST_F(CaptureFileTest, RecordingStartsOnlyFromTheLiveStateAndNeedsAFileItCanCreate) {
  for (lv::PerformerState state : {lv::Halted, lv::NoteSelect, lv::FullScreen, lv::Editing, lv::PlayingCapture}) {
    performer.SetState(state);
    EXPECT_EQ(lv::StartCaptureRecording(performer, folder / "a.midicap"), lv::RecordStart::NotLive) << state;
    EXPECT_EQ(performer.State(), state);
  }
  EXPECT_TRUE(folder.Names().empty());

  performer.SetState(lv::Live);
  EXPECT_EQ(lv::StartCaptureRecording(performer, folder / "missing" / "a.midicap"), lv::RecordStart::FileError);
  EXPECT_EQ(performer.State(), lv::Live);

  // Nor does a recording take the place of a playing file.
  CaptureBytes{}.Event(Message(0xF8), 0).Save(folder / "play.midicap");
  ASSERT_TRUE(performer.StartPlayback(folder / "play.midicap", 29.97f, nullptr, nullptr));
  EXPECT_EQ(lv::StartCaptureRecording(performer, folder / "b.midicap"), lv::RecordStart::NotLive);
  EXPECT_NE(performer.GetCaptureFile(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(folder / "b.midicap"));
}

struct ClockCase {
  const char* name;
  float fps;
  std::vector<uint32_t> times;  // after the first event's, the time base
  std::vector<int> passes;      // where each event is delivered
};

TEST_F(CaptureFileTest, EventsArriveInTheFirstFrameWhoseClockHasReachedThem) {
  const ClockCase cases[] = {
      // 29.97 fps: clocks 0, 33.4, 66.7, 100.1, 133.5, 166.8, 200.2; never early.
      {"40 ms apart", 29.97f, {0, 40, 80, 120, 160, 200}, {0, 2, 3, 4, 5, 6}},
      {"equal to the clock", 29.97f, {0, 33, 34, 66, 100}, {0, 1, 2, 2, 3}},
      // 25 fps: clocks 0, 40, 80 exactly.
      {"exact steps", 25.0f, {0, 39, 40, 41, 80}, {0, 1, 1, 2, 2}},
  };
  for (const ClockCase& c : cases) {
    CaptureBytes file;
    const uint32_t base = 700000;
    for (size_t i = 0; i < c.times.size(); ++i) file.Event(Message(0x90, static_cast<uint8_t>(i), 100), base + c.times[i]);
    noteWindow.Clear();
    EXPECT_EQ(PlayNotes(file, c.fps, 8), c.passes) << c.name;
    performer.CloseCaptureFile();
    performer.SetState(lv::Live);
  }
}

TEST_F(CaptureFileTest, EventsOfOnePassKeepTheirFileOrder) {
  CaptureBytes file;
  for (uint8_t note : {9, 3, 7, 1}) file.Event(Message(0x90, note, 1), 50);
  file.Save(folder / "order.midicap");
  ASSERT_TRUE(performer.StartPlayback(folder / "order.midicap", 29.97f, nullptr, nullptr));
  performer.RunPass();
  std::vector<intptr_t> notes;
  for (const PostedMessage& posted : noteWindow.Posted()) notes.push_back(posted.lParam);
  EXPECT_EQ(notes, (std::vector<intptr_t>{9, 3, 7, 1}));
}

TEST_F(CaptureFileTest, AnEventStampedBeforeTheTimeBaseIsDueAtOnce) {
  // A stamp from another clock, far before the first event and far after.
  CaptureBytes file;
  file.Event(Message(0x90, 1, 1), 5000).Event(Message(0x90, 2, 1), 12).Event(Message(0x90, 3, 1), 5040);
  EXPECT_EQ(PlayNotes(file, 25.0f, 3), (std::vector<int>{0, 0, 1}));
}

TEST_F(CaptureFileTest, StartingPlaybackLoadsTheLeadingSpectraAndClosesTheAudioInput) {
  CaptureBytes{}
      .Spectrum(1.0f)
      .Spectrum(2.0f)
      .Event(Message(0x90, 60, 1), 5000)
      .Spectrum(3.0f)
      .Event(Message(0x90, 61, 1), 5100)
      .Spectrum(4.0f)
      .Save(folder / "s.midicap");

  EXPECT_FALSE(performer.StartPlayback(folder / "none.midicap", 29.97f, nullptr, nullptr));
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(audio.closes, 0);

  ASSERT_TRUE(performer.StartPlayback(folder / "s.midicap", 29.97f, nullptr, nullptr));
  EXPECT_EQ(performer.State(), lv::PlayingCapture);
  EXPECT_EQ(audio.closes, 1);

  std::vector<float> spectrumOfPass;
  std::vector<intptr_t> notesOfPass;
  for (int pass = 0; pass < 5; ++pass) {
    performer.RunPass();
    spectrumOfPass.push_back(audio.spectrum[1023]);
    intptr_t note = -1;
    for (const PostedMessage& posted : noteWindow.Posted()) note = posted.lParam;
    notesOfPass.push_back(note);
    noteWindow.Clear();
  }
  // The time base is the first event: it plays in pass 0, with the spectrum
  // read last before the frame's first future event.
  EXPECT_EQ(notesOfPass, (std::vector<intptr_t>{60, -1, -1, 61, -1}));
  EXPECT_EQ(spectrumOfPass, (std::vector<float>{3.0f, 3.0f, 3.0f, 4.0f, 4.0f}));
  EXPECT_EQ(EndMessages().size(), 1u);
}

TEST_F(CaptureFileTest, DamagedSpectrumValuesAreCleanedToTheAnalysersRange) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float stored, loaded;
  } cases[] = {{std::numeric_limits<float>::quiet_NaN(), 0.0f},
               {-std::numeric_limits<float>::signaling_NaN(), 0.0f},
               {inf, 0.0f},
               {-inf, 0.0f},
               {-1.0f, 0.0f},
               {1e30f, lv::kCaptureSpectrumMax},
               {0.5f, 0.5f},
               {lv::kCaptureSpectrumMax, lv::kCaptureSpectrumMax}};
  // One spectrum record holding the cases in turn, before the first event.
  std::vector<uint8_t> record{lv::kCaptureSpectrumRecord};
  for (int i = 0; i < lv::kCaptureSpectrumValues; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &cases[size_t(i) % std::size(cases)].stored, 4);
    for (int b = 0; b < 4; ++b) record.push_back(static_cast<uint8_t>(bits >> (8 * b)));
  }
  CaptureBytes{}.Raw(record).Event(Message(0x90, 60, 1), 0).Save(folder / "nan.midicap");

  audio.Fill(7.0f);
  ASSERT_TRUE(performer.StartPlayback(folder / "nan.midicap", 30.0f, nullptr, nullptr));
  performer.RunPass();
  for (int i = 0; i < lv::kCaptureSpectrumValues; ++i)
    ASSERT_EQ(audio.spectrum[size_t(i)], cases[size_t(i) % std::size(cases)].loaded) << "value " << i;
}

TEST_F(CaptureFileTest, TheEndOfTheFileOrAShortRecordIsReportedOnce) {
  const struct {
    const char* name;
    CaptureBytes file;
    int notes;
  } cases[] = {
      {"empty", CaptureBytes{}, 0},
      {"spectra only", CaptureBytes{}.Spectrum(1.0f), 0},
      {"short event", CaptureBytes{}.Event(Message(0x90, 1, 1), 10).Raw({0x01, 0x90, 0x02, 0x01, 0x00, 0x00}), 1},
      {"short spectrum", CaptureBytes{}.Event(Message(0x90, 1, 1), 10).Raw({0x02, 0x00, 0x00}), 1},
      {"only a short event", CaptureBytes{}.Raw({0x01, 0x90, 0x02}), 0},
  };
  for (const auto& c : cases) {
    mainDialog.Clear();
    noteWindow.Clear();
    audio.Fill(7.0f);
    c.file.Save(folder / "end.midicap");
    ASSERT_TRUE(performer.StartPlayback(folder / "end.midicap", 29.97f, nullptr, nullptr)) << c.name;
    for (int pass = 0; pass < 4; ++pass) performer.RunPass();
    EXPECT_EQ(EndMessages(), (std::vector<PostedMessage>{{lv::kPlaybackEndMessage, 0, 0}})) << c.name;
    EXPECT_EQ(static_cast<int>(noteWindow.Posted().size()), c.notes) << c.name;
    EXPECT_EQ(performer.State(), lv::PlayingCapture) << c.name;
    if (std::string(c.name) == "short spectrum") {
      EXPECT_EQ(audio.spectrum[0], 7.0f) << "half a spectrum was loaded";
    }
    performer.CloseCaptureFile();
    performer.SetState(lv::Live);
  }
}

TEST_F(CaptureFileTest, MoreEventsThanTheRingHoldsGoOnInTheNextPassInOrder) {
  CaptureBytes file;
  const int count = 1500;
  for (int i = 0; i < count; ++i) file.Event(Message(0x90, static_cast<uint8_t>(i % 128), 1), 0);
  file.Save(folder / "many.midicap");
  ASSERT_TRUE(performer.StartPlayback(folder / "many.midicap", 29.97f, nullptr, nullptr));

  performer.RunPass();
  EXPECT_EQ(noteWindow.Posted().size(), static_cast<size_t>(lv::Performer::kRingSize - 1));
  performer.RunPass();
  const std::vector<PostedMessage> posted = noteWindow.Posted();
  ASSERT_EQ(posted.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) ASSERT_EQ(posted[static_cast<size_t>(i)].lParam, i % 128) << i;
  EXPECT_EQ(EndMessages().size(), 1u);  // the second pass also met the end
}

}  // namespace
}  // namespace lvtest
