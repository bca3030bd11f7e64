#include "render/render_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "../capture/capture_test_support.h"
#include "performance/performance.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "platform/media/video_stream_reader.h"
#include "recording_window.h"
#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_prompts.h"
#include "test_plug.h"
#include "test_show.h"

namespace lvtest {
namespace {

constexpr Rgb kBlue{30, 40, 210};
// What the right half and the bottom rows of every frame show, so that a
// flipped, mirrored or sheared frame reads back wrong.
constexpr Rgb kRightHalf{250, 250, 120};
constexpr Rgb kBottomRows{120, 0, 160};

// The back buffer as the patches leave it: one colour.
struct Screen {
  Rgb colour = kBlack;
};

// Paints its colour when it renders.
class ColourPatch : public TestPlug {
 public:
  ColourPatch(Screen* screen, Rgb colour) : TestPlug(nullptr, "colour"), screen_(screen), colour_(colour) {}
  void Render(uint32_t) override { screen_->colour = colour_; }

 private:
  Screen* screen_;
  Rgb colour_;
};

Rgb Expected(const Rgb& screen, int x, int y, int width, int height) {
  if (y >= height - 2) return kBottomRows;
  if (x >= width / 2) return kRightHalf;
  return screen;
}

class FakeGrabber : public lv::FrameGrabber {
 public:
  explicit FakeGrabber(Screen* screen) : screen_(screen) {}
  lv::FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) override {
    ++copies;
    if (copies == failAt) return failure;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const Rgb c = Expected(screen_->colour, x, y, width, height);
        uint8_t* p = pixels + static_cast<size_t>(y) * pitch + x * 4;
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
        p[3] = 0;
      }
    screen_->colour = kBlack;  // the next frame starts cleared
    return lv::FrameGrab::Copied;
  }
  void ReleaseCopies() override { ++releases; }

  int copies = 0;
  int releases = 0;
  int failAt = -1;
  lv::FrameGrab failure = lv::FrameGrab::ReadBackFailed;

 private:
  Screen* screen_;
};

class FakePrompts : public lv::RenderPrompts {
 public:
  std::optional<std::string> OpenFile(const lv::FileDialogRequest& request) override {
    opened.push_back(request.title);
    return openAnswer;
  }
  std::optional<std::string> SaveFile(const lv::FileDialogRequest& request) override {
    saved.push_back(request.title);
    return saveAnswer;
  }
  void ShowError(const std::string& text, const std::string& caption) override {
    errors.push_back(text + " | " + caption);
  }

  std::optional<std::string> openAnswer;
  std::optional<std::string> saveAnswer;
  std::vector<std::string> opened;
  std::vector<std::string> saved;
  std::vector<std::string> errors;
};

class FakeChooser : public lv::CompressorChooser {
 public:
  std::optional<media::CompressorChoice> ChooseCompressor() override {
    ++asked;
    return answer;
  }
  std::optional<media::CompressorChoice> answer = media::CompressorChoice{};
  int asked = 0;
};

constexpr uint8_t kBlueNote = 64;

class RenderControllerTest : public ::testing::Test {
 protected:
  void MakePerformance(int width, int height) {
    auto* performance = new lv::Performance;  // the Performer owns it
    performance->width = width;
    performance->height = height;
    performance->channelMask = 1;
    lv::Bank* bank = performance->CreateBank(0);
    bank->slots[kRedNote].patch = std::make_unique<ColourPatch>(&screen, kRed);
    bank->slots[kGreenNote].patch = std::make_unique<ColourPatch>(&screen, kGreen);
    bank->slots[kBlueNote].patch = std::make_unique<ColourPatch>(&screen, kBlue);
    performance->SelectBank(0);
    performer.SetPerformance(performance);
    performer.SetChannelMask(1);
  }

  void SetUp() override {
    performer.SetMainDialog(&mainDialog);
    performer.SetAudioInput(&audio);
    performer.SetCaptureAudio(&audio);
    performer.SetState(lv::Live);
    controller.SetFrameGrabber(&grabber);
    controller.SetCaptureAudio(&audio);
    MakePerformance(64, 48);
    TestShow().Save(capturePath);
    prompts.openAnswer = capturePath;
    prompts.saveAnswer = target;
  }

  bool Ended() {
    const auto posted = mainDialog.Posted();
    return std::count_if(posted.begin(), posted.end(),
                         [](const PostedMessage& m) { return m.message == lv::kPlaybackEndMessage; }) > 0;
  }
  int EndCount() {
    int count = 0;
    for (const PostedMessage& m : mainDialog.Posted()) count += m.message == lv::kPlaybackEndMessage;
    return count;
  }

  // The render thread's passes until the end is reported, then the main
  // dialog's stop.
  void RenderToTheEnd() {
    for (int pass = 0; pass < 200 && !Ended(); ++pass) performer.RunPass();
    ASSERT_TRUE(Ended());
    controller.StopRenderFile();
  }

  // Every frame of the file, as the colour of its top-left quadrant; checks
  // the rest of each frame on the way.
  std::vector<Rgb> DecodeFrames(const std::filesystem::path& path, int tolerance = 0) {
    std::string error;
    auto reader = media::OpenVideoStream(path, &error);
    EXPECT_TRUE(reader) << error;
    if (!reader) return {};
    const media::VideoStreamInfo& info = reader->Info();
    const int width = info.width;
    const int height = info.height;
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    std::vector<Rgb> frames;
    for (int64_t i = 0; i < info.frameCount; ++i) {
      EXPECT_TRUE(reader->ReadFrame(i, pixels.data(), width * 4));
      auto at = [&](int x, int y) {
        const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
        return Rgb{p[2], p[1], p[0]};
      };
      auto near = [&](const Rgb& a, const Rgb& b) {
        return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
               std::abs(a.b - b.b) <= tolerance;
      };
      Rgb screenColour = at(width / 4, height / 4);
      // A lossy codec's colour counts as the show colour it is near.
      for (const Rgb& known : {kBlack, kRed, kGreen, kBlue})
        if (near(screenColour, known)) screenColour = known;
      // Every row, at both ends of each half: shearing moves row starts.
      for (int y = 0; y < height; ++y)
        for (int x : {0, width / 2 - 1, width / 2, width - 1}) {
          if (tolerance > 0 && (y >= height - 4 || std::abs(x - width / 2) < 8 || x < 4 || x >= width - 4))
            continue;  // lossy codecs blur edges
          const Rgb want = Expected(screenColour, x, y, width, height);
          EXPECT_TRUE(near(at(x, y), want)) << "frame " << i << " at " << x << "," << y;
        }
      frames.push_back(screenColour);
    }
    return frames;
  }

  ScratchFolder folder;
  const std::string capturePath = folder / "show.midicap";
  const std::string target = folder / "out.avi";
  Screen screen;
  FakeAudio audio;
  lv::Performer performer;
  RecordingWindow mainDialog;
  FakeGrabber grabber{&screen};
  FakePrompts prompts;
  FakeChooser chooser;
  lv::RenderController controller{performer, prompts, chooser};
};

TEST_F(RenderControllerTest, ACaptureRendersFrameByFrameIntoOneFileWithTheChosenName) {
  struct Case {
    std::string encoder;
    int width;
    int height;
    int tolerance;
  };
  std::vector<Case> cases = {{"rawvideo", 854, 20, 0}, {"rawvideo", 1366, 12, 0}};
  if (media::FindVideoEncoder("ffv1")) cases.push_back({"ffv1", 854, 20, 0});
  if (media::FindVideoEncoder("mjpeg")) cases.push_back({"mjpeg", 320, 240, 24});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoder + " " + std::to_string(c.width));
    MakePerformance(c.width, c.height);
    chooser.answer = media::CompressorChoice{c.encoder};
    mainDialog.Clear();
    controller.RenderCaptureFile();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
    EXPECT_EQ(performer.State(), lv::PlayingCapture);
    RenderToTheEnd();

    EXPECT_EQ(EndCount(), 1);
    EXPECT_EQ(performer.State(), lv::Live);
    EXPECT_EQ(performer.GetCaptureFile(), nullptr);
    EXPECT_EQ(performer.ActiveNoteCount(), 0);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out.avi", "show.midicap"}));

    std::string error;
    auto reader = media::OpenVideoStream(target, &error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(reader->Info().width, c.width);
    EXPECT_EQ(reader->Info().height, c.height);
    EXPECT_EQ(reader->Info().frameRate.num * 100, reader->Info().frameRate.den * 2997);
    EXPECT_EQ(DecodeFrames(target, c.tolerance), kShowFrames);
  }
  EXPECT_EQ(audio.closes, static_cast<int>(cases.size()));
  EXPECT_EQ(audio.reopens, static_cast<int>(cases.size()));
  EXPECT_EQ(grabber.releases, static_cast<int>(cases.size()));
  EXPECT_EQ(prompts.opened[0], "Choose MIDI capture file to render");
  EXPECT_EQ(prompts.saved[0], "Choose AVI file to save");
}

TEST_F(RenderControllerTest, ARenderCrossingThePartLimitTwiceLeavesThreeNumberedParts) {
  // Uncompressed 64 x 48 frames are 9216 bytes: a part closes after its
  // fourth frame.
  controller.SetPartBytes(9216 * 3 + 4608);
  CaptureBytes{}.Event(Message(0xF8), 0).Save(folder / "out_000.avi");  // left from an earlier render
  controller.RenderCaptureFile();
  RenderToTheEnd();

  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out_000.avi", "out_001.avi", "out_002.avi", "show.midicap"}));
  std::vector<Rgb> frames;
  std::vector<size_t> counts;
  for (const char* part : {"out_000.avi", "out_001.avi", "out_002.avi"}) {
    const std::vector<Rgb> partFrames = DecodeFrames(folder / part);
    counts.push_back(partFrames.size());
    frames.insert(frames.end(), partFrames.begin(), partFrames.end());
  }
  EXPECT_EQ(counts, (std::vector<size_t>{4, 4, 2}));
  EXPECT_EQ(frames, kShowFrames);
  EXPECT_EQ(controller.PartCount(), 0);
}

TEST_F(RenderControllerTest, CancellingADialogLeavesNothingRunning) {
  const struct {
    const char* name;
    bool open, save, compressor;
    int asked;
  } cases[] = {
      {"capture file", false, true, true, 0},
      {"target file", true, false, true, 0},
      {"compressor", true, true, false, 1},
  };
  for (const auto& c : cases) {
    prompts.openAnswer = c.open ? std::optional<std::string>(capturePath) : std::nullopt;
    prompts.saveAnswer = c.save ? std::optional<std::string>(target) : std::nullopt;
    chooser.answer = c.compressor ? std::optional<media::CompressorChoice>(media::CompressorChoice{}) : std::nullopt;
    chooser.asked = 0;
    controller.RenderCaptureFile();
    EXPECT_EQ(chooser.asked, c.asked) << c.name;
    EXPECT_EQ(performer.State(), lv::Live) << c.name;
    EXPECT_EQ(performer.GetCaptureFile(), nullptr) << c.name;
    EXPECT_FALSE(controller.Active()) << c.name;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.midicap"}) << c.name;
  }
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_EQ(audio.closes, 0);
}

TEST_F(RenderControllerTest, WithoutAPerformanceNoFileIsAskedFor) {
  performer.SetPerformance(nullptr);
  controller.RenderCaptureFile();
  controller.PlayCaptureFile();
  EXPECT_TRUE(prompts.opened.empty());
  EXPECT_TRUE(prompts.saved.empty());
}

TEST_F(RenderControllerTest, FailuresToStartShowTheirMessageAndLeaveNoFile) {
  const struct {
    const char* name;
    std::string capture;
    std::string target;
    bool play;
    const char* error;
  } cases[] = {
      {"target folder missing", capturePath, folder / "no" / "out.avi", false,
       "There was a problem creating the target AVI file. | Recording error"},
      {"capture file gone", folder / "gone.midicap", target, false,
       "There was a problem initiating playback mode. | Recording error"},
      {"play a file gone", folder / "gone.midicap", target, true,
       "There was a problem initiating playback mode. | Playback error"},
  };
  for (const auto& c : cases) {
    prompts.openAnswer = c.capture;
    prompts.saveAnswer = c.target;
    prompts.errors.clear();
    if (c.play)
      controller.PlayCaptureFile();
    else
      controller.RenderCaptureFile();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{c.error}) << c.name;
    EXPECT_EQ(performer.State(), lv::Live) << c.name;
    EXPECT_FALSE(controller.Active()) << c.name;
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.midicap"}) << c.name;
  }
}

TEST_F(RenderControllerTest, ANextPartThatCannotBeCreatedEndsTheRenderAndIsReportedByTheStop) {
  controller.SetPartBytes(9216 * 3 + 4608);
  std::filesystem::create_directory(folder / "out_001.avi.partial");  // blocks the second part
  controller.RenderCaptureFile();
  for (int pass = 0; pass < 8; ++pass) performer.RunPass();
  EXPECT_EQ(EndCount(), 1);
  EXPECT_TRUE(prompts.errors.empty()) << "shown from the render thread";
  EXPECT_EQ(grabber.copies, 4);  // frames after the failure are not captured

  controller.StopRenderFile();
  controller.StopRenderFile();  // the end is reported once, but a second stop changes nothing
  EXPECT_EQ(prompts.errors,
            std::vector<std::string>{"There was a problem creating the target AVI file. | Recording error"});
  EXPECT_EQ(audio.reopens, 1);
  EXPECT_EQ(DecodeFrames(folder / "out_000.avi").size(), 4u);
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(RenderControllerTest, AFrameThatCannotBeCopiedEndsTheRenderKeepingTheFramesBefore) {
  grabber.failAt = 4;
  controller.RenderCaptureFile();
  RenderToTheEnd();
  EXPECT_EQ(EndCount(), 1);
  EXPECT_TRUE(prompts.errors.empty());
  EXPECT_EQ(DecodeFrames(target), (std::vector<Rgb>{kRed, kRed, kRed}));
  EXPECT_EQ(grabber.releases, 1);
}

TEST_F(RenderControllerTest, AStopLongAfterTheEndLeavesExactlyTheFramesUpToTheLastEvent) {
  // Frame n shows the clock (int)(n * 1000 / 29.97) ms after the first event;
  // the file ends in the frame whose clock reaches the last event, the
  // render's last. The main dialog answers the end 100 passes late.
  const uint32_t base = 5000;
  const struct {
    const char* name;
    CaptureBytes capture;
    size_t frames;
    const std::vector<Rgb>* colours = nullptr;  // what they show, where known
  } cases[] = {
      {"the test show", TestShow(), kShowFrames.size(), &kShowFrames},
      // The last event at 4.2 s is reached by frame 126's clock, 4204 ms; the
      // spectra recorded after it add no frame.
      {"4.2 s with spectra after the last event",
       CaptureBytes{}.Event(Message(0x90, kRedNote, 100), base).Event(Message(0x80, kRedNote, 0), base + 4200)
           .Spectrum(0.25f).Spectrum(0.5f).Spectrum(0.75f),
       127},
      {"the last event on frame 3's clock, 100 ms",
       CaptureBytes{}.Event(Message(0x90, kRedNote, 100), base).Event(Message(0xF8), base + 100), 4},
      {"the last event a millisecond later", CaptureBytes{}.Event(Message(0xF8), base).Event(Message(0xF8), base + 101),
       5},
      {"a last record cut short",
       CaptureBytes{}.Event(Message(0xF8), base).Event(Message(0xF8), base + 100).Raw({lv::kCaptureEventRecord, 0x90, 60}),
       4},
      {"no event at all", CaptureBytes{}.Spectrum(0.5f), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.capture.Save(capturePath);
    mainDialog.Clear();
    const int copiesBefore = grabber.copies;
    controller.RenderCaptureFile();
    ASSERT_EQ(performer.State(), lv::PlayingCapture);
    int pass = 0;
    for (; pass < 1000 && !Ended(); ++pass) performer.RunPass();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(static_cast<size_t>(pass), c.frames) << "the end is met in the last event's pass";
    for (int late = 0; late < 100; ++late) performer.RunPass();
    controller.StopRenderFile();

    EXPECT_EQ(EndCount(), 1);
    EXPECT_EQ(static_cast<size_t>(grabber.copies - copiesBefore), c.frames);
    const std::vector<Rgb> frames = DecodeFrames(target);
    EXPECT_EQ(frames.size(), c.frames);
    if (c.colours != nullptr) {
      EXPECT_EQ(frames, *c.colours);
    }
  }
}

TEST_F(RenderControllerTest, StoppingDuringARenderClosesTheFileNormally) {
  controller.RenderCaptureFile();
  for (int pass = 0; pass < 5; ++pass) performer.RunPass();
  EXPECT_EQ(performer.ActiveNoteCount(), 2);
  controller.StopRenderFile();  // Esc in the output window
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(performer.ActiveNoteCount(), 0);
  EXPECT_EQ(audio.reopens, 1);
  performer.RunPass();
  EXPECT_EQ(grabber.copies, 5);
  EXPECT_EQ(DecodeFrames(target), (std::vector<Rgb>{kRed, kRed, kRed, kGreen, kGreen}));
}

TEST_F(RenderControllerTest, PlayingACaptureRunsItAt5994FramesPerSecondWithoutWritingAFile) {
  RecordingWindow notes;
  performer.SetNoteWindow(&notes);
  CaptureBytes{}.Event(Message(0x90, 1, 1), 0).Event(Message(0x90, 2, 1), 16).Event(Message(0x90, 3, 1), 17).Save(
      capturePath);
  controller.PlayCaptureFile();
  ASSERT_TRUE(prompts.errors.empty());
  EXPECT_EQ(performer.State(), lv::PlayingCapture);
  std::vector<size_t> reported;
  for (int pass = 0; pass < 3; ++pass) {
    performer.RunPass();
    reported.push_back(notes.Posted().size());
  }
  // Clocks 0, 16.7, 33.4.
  EXPECT_EQ(reported, (std::vector<size_t>{1, 2, 3}));
  EXPECT_EQ(grabber.copies, 0);
  controller.StopRenderFile();
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.midicap"});
}

}  // namespace
}  // namespace lvtest
