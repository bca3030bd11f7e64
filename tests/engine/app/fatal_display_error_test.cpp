// A display that fails for good ends the program as every other end does:
// a recording or an offline render in progress is finished first, and from
// the start of shutdown on no display is set up again.
#include "program_lifecycle_fixture.h"

#include <optional>

#include "../capture/capture_test_support.h"
#include "capture/capture_recording.h"
#include "platform/media/video_stream_reader.h"
#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_controller.h"
#include "render/render_prompts.h"
#include "render_fakes.h"

// The Mesa driver synchronises its own threads in ways ThreadSanitizer cannot
// see (it is not built with it): its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {
using namespace lvtest;

constexpr uint8_t kNote = 60;

// The MIDI messages of a capture file's event records, in file order.
std::vector<uint32_t> RecordedMessages(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  std::vector<uint32_t> messages;
  for (size_t at = 0; at < bytes.size();) {
    const bool event = bytes[at] == lv::kCaptureEventRecord;
    const size_t size = event ? lv::kCaptureEventRecordBytes : lv::kCaptureSpectrumRecordBytes;
    if (at + size > bytes.size()) return {};
    if (event) messages.push_back(bytes[at + 1] | bytes[at + 2] << 8 | bytes[at + 3] << 16 | uint32_t(bytes[at + 4]) << 24);
    at += size;
  }
  return messages;
}

// A patch on the note that counts its frames.
class CountingPlug final : public TestPlug {
 public:
  CountingPlug() : TestPlug(nullptr, "counting") {}
  void Render(uint32_t) override { ++renders; }
  std::atomic<int> renders{0};
};

class FatalDisplayErrorTest : public ProgramLifecycleTest {
 protected:
  // Started, with a 64 x 48 performance whose note has a counting patch.
  CountingPlug& Start() {
    EXPECT_TRUE(lifecycle.Startup());
    auto* performance = new lv::Performance;
    performance->width = 64;
    performance->height = 48;
    performance->channelMask = 1;
    lv::Bank* bank = performance->CreateBank(0);
    bank->slots[kNote].patch = std::make_unique<CountingPlug>();
    performance->SelectBank(0);
    performer.SetPerformance(performance);
    performer.SetChannelMask(1);
    return static_cast<CountingPlug&>(*bank->slots[kNote].patch);
  }
  // No device can be made any more: the display switch ends the program.
  void FailTheDisplay() {
    script.failHardware = script.failSoftware = true;
    EXPECT_FALSE(display.SetDisplay(false));
    EXPECT_EQ(journal.Matching("fatal"), (std::vector<std::string>{"fatal 3"}));
    EXPECT_EQ(performer.GetPerformance(), nullptr) << "the render thread was not stopped";
  }

  ScratchFolder folder;
};

TEST_F(FatalDisplayErrorTest, ARecordingInProgressIsFinishedUnderItsNameWithItsEvents) {
  Start();
  const std::filesystem::path recording = folder / "show.midicap";
  ASSERT_EQ(lv::StartCaptureRecording(performer, recording.string()), lv::RecordStart::Started);
  const uint32_t noteOn = Message(0x90, kNote, 127);
  const uint32_t noteOff = Message(0x80, kNote);
  performer.PushMidi({noteOn, 0});
  performer.PushMidi({noteOff, 0});

  FailTheDisplay();
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"show.midicap"});
  EXPECT_EQ(RecordedMessages(recording), (std::vector<uint32_t>{noteOn, noteOff}));
}

TEST_F(FatalDisplayErrorTest, ARenderInProgressIsFinishedWithItsIndex) {
  CountingPlug& patch = Start();
  // The note from the start; a last event an hour later keeps the render going.
  CaptureBytes{}.Event(Message(0x90, kNote, 100), 0).Event(Message(0xF8), 3600000).Save(folder / "show.midicap");
  RenderAnswers answers(folder / "show.midicap", folder / "out.avi");
  GreyGrabber grabber;
  lv::RenderController render(performer, answers, answers);
  render.SetFrameGrabber(&grabber);
  steps.finishRender = [&render] { render.FinishFile(); };
  render.RenderCaptureFile();
  ASSERT_TRUE(answers.errors.empty()) << answers.errors[0];
  while (patch.renders < 5) std::this_thread::yield();

  FailTheDisplay();
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"out.avi", "show.midicap"}));
  const std::vector<uint8_t> avi = ReadBytes(folder / "out.avi");
  const std::string kept(avi.begin(), avi.end());
  EXPECT_NE(kept.find("idx1"), std::string::npos) << "the AVI file has no index";
  std::string error;
  auto reader = media::OpenVideoStream(folder / "out.avi", &error);
  ASSERT_TRUE(reader) << error;
  EXPECT_GE(reader->Info().frameCount, 4);
}

TEST_F(FatalDisplayErrorTest, NoDisplayIsSetUpOnceShutdownHasStarted) {
  ASSERT_TRUE(lifecycle.Startup());
  const size_t devicesMade = script.createFlags.size();
  ASSERT_TRUE(lifecycle.BeginShutdown());
  // A window closing on the way out asks for the windowed display again.
  EXPECT_FALSE(display.SetDisplay(false));
  EXPECT_FALSE(display.SetDisplay(true));
  EXPECT_EQ(script.createFlags.size(), devicesMade);
  EXPECT_TRUE(journal.Matching("fatal").empty());
  EXPECT_TRUE(lifecycle.Shutdown());
}

}  // namespace
