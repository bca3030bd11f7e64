// A render ended from another thread while the render thread runs: finished
// at the program's end while the render thread is stuck inside a patch's
// drawing (the pass holds the frame lock for good, yet the part being
// written gets its index and the parts their names, and no frame is written
// after it); and stopped by a main dialog that answers the end of the
// capture late.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../capture/capture_test_support.h"
#include "fake_frame_device.h"
#include "journal.h"
#include "performance/performance.h"
#include "performer/performer.h"
#include "platform/media/video_stream_reader.h"
#include "recording_window.h"
#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_controller.h"
#include "render/render_prompts.h"
#include "render_fakes.h"
#include "test_plug.h"

namespace lvtest {
namespace {

constexpr uint8_t kNote = 60;
constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int64_t kRawFrameBytes = kWidth * kHeight * 3;

// Its drawing never returns from the given render on, until let go.
class StuckAtPatch : public TestPlug {
 public:
  explicit StuckAtPatch(int stuckAt) : TestPlug(nullptr, "stuck"), stuckAt_(stuckAt) {}
  void Render(uint32_t) override {
    if (++renders < stuckAt_) return;
    entered = true;
    while (!released) std::this_thread::yield();
  }
  std::atomic<int> renders{0};
  std::atomic<bool> entered{false};
  std::atomic<bool> released{false};

 private:
  const int stuckAt_;
};

int64_t FrameCount(const std::filesystem::path& path) {
  std::string error;
  auto reader = media::OpenVideoStream(path, &error);
  EXPECT_TRUE(reader) << path << ": " << error;
  return reader ? reader->Info().frameCount : -1;
}

TEST(RenderFinish, APartBeingWrittenIsFinishedWithoutTheStuckPassAndNoFrameFollows) {
  const struct {
    const char* name;
    int64_t partBytes;
    std::vector<std::string> files;
    std::vector<int64_t> frames;
  } cases[] = {
      {"one part", lv::RenderController::kPartBytes, {"out.avi", "show.midicap"}, {5}},
      {"parts of three frames", kRawFrameBytes * 2 + 1, {"out_000.avi", "out_001.avi", "show.midicap"}, {3, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchFolder folder;
    // The note starts at once; a last event an hour later keeps playback on.
    CaptureBytes{}.Event(Message(0x90, kNote, 100), 0).Event(Message(0xF8), 3600000).Save(folder / "show.midicap");
    RenderAnswers answers(folder / "show.midicap", folder / "out.avi");
    GreyGrabber grabber;
    RecordingWindow mainDialog;
    lv::Performer performer;
    lv::RenderController controller(performer, answers, answers);
    controller.SetFrameGrabber(&grabber);
    controller.SetPartBytes(c.partBytes);
    performer.SetMainDialog(&mainDialog);

    auto* performance = new lv::Performance;  // the Performer owns it
    performance->width = kWidth;
    performance->height = kHeight;
    performance->channelMask = 1;
    lv::Bank* bank = performance->CreateBank(0);
    bank->slots[kNote].patch = std::make_unique<StuckAtPatch>(6);  // five frames are written
    auto* patch = static_cast<StuckAtPatch*>(bank->slots[kNote].patch.get());
    performance->SelectBank(0);
    performer.SetPerformance(performance);
    performer.SetChannelMask(1);
    performer.SetState(lv::Live);

    controller.RenderCaptureFile();
    ASSERT_TRUE(answers.errors.empty()) << answers.errors[0];
    ASSERT_TRUE(performer.Start());
    while (!patch->entered) std::this_thread::yield();

    controller.FinishFile();
    EXPECT_EQ(folder.Names(), c.files);
    std::vector<int64_t> frames;
    for (const std::string& file : c.files)
      if (file.ends_with(".avi")) frames.push_back(FrameCount(folder / file));
    EXPECT_EQ(frames, c.frames);

    // Let go, the render thread finds the file finished and asks for the stop.
    patch->released = true;
    while (mainDialog.Posted().empty()) std::this_thread::yield();
    EXPECT_EQ(mainDialog.Posted()[0].message, lv::kPlaybackEndMessage);
    controller.StopRenderFile();
    EXPECT_TRUE(performer.Stop());
    EXPECT_EQ(folder.Names(), c.files);
    frames.clear();
    for (const std::string& file : c.files)
      if (file.ends_with(".avi")) frames.push_back(FrameCount(folder / file));
    EXPECT_EQ(frames, c.frames) << "a frame written after the finish";
    EXPECT_TRUE(answers.errors.empty());
  }
}

TEST(RenderFinish, AMainDialogAnsweringTheEndLateGetsExactlyTheFramesUpToTheLastEvent) {
  ScratchFolder folder;
  // The note from the start, the last event at 1 s: frame 30's clock, 1001 ms,
  // is the first to reach it.
  CaptureBytes{}.Event(Message(0x90, kNote, 100), 0).Event(Message(0x80, kNote, 0), 1000).Spectrum(0.5f).Save(
      folder / "show.midicap");
  RenderAnswers answers(folder / "show.midicap", folder / "out.avi");
  GreyGrabber grabber;
  RecordingWindow mainDialog;
  Journal journal;
  FakeFrameDevice device(&journal);
  lv::Performer performer;
  lv::RenderController controller(performer, answers, answers);
  controller.SetFrameGrabber(&grabber);
  performer.SetMainDialog(&mainDialog);
  performer.SetDevice(&device);

  auto* performance = new lv::Performance;  // the Performer owns it
  performance->width = kWidth;
  performance->height = kHeight;
  performance->channelMask = 1;
  performance->CreateBank(0)->slots[kNote].patch = std::make_unique<TestPlug>(&journal, "note");
  performance->SelectBank(0);
  performer.SetPerformance(performance);
  performer.SetChannelMask(1);
  performer.SetState(lv::Live);

  controller.RenderCaptureFile();
  ASSERT_TRUE(answers.errors.empty()) << answers.errors[0];
  ASSERT_TRUE(performer.Start());
  // The main dialog, busy elsewhere, answers the end once the render thread
  // has run many passes past it.
  while (mainDialog.Posted().empty()) std::this_thread::yield();
  const int presentedAtEnd = device.presents.load();
  while (device.presents.load() < presentedAtEnd + 60) std::this_thread::yield();
  controller.StopRenderFile();
  EXPECT_TRUE(performer.Stop());
  performer.SetDevice(nullptr);

  EXPECT_EQ(mainDialog.Posted().size(), 1u);
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(FrameCount(folder / "out.avi"), 31);
  EXPECT_TRUE(answers.errors.empty());
}

}  // namespace
}  // namespace lvtest
