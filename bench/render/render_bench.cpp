// Offline render speed: frames per second of a capture rendered to AVI at
// 640 x 480 through the Performer and the RenderController, against FFmpeg
// encoding the same frames alone with the same codec. "ratio" is the render's
// speed as a share of the encoder's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <unistd.h>

#include "capture/capture_record.h"
#include "performance/performance.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "platform/media/video_file_writer.h"
#include "render/compressor_chooser.h"
#include "render/frame_grabber.h"
#include "render/render_controller.h"
#include "render/render_prompts.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFrames = 60;

// A picture with grain, so that compressors work for their bytes.
std::vector<uint8_t> NoisyFrame() {
  std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
  uint32_t seed = 99;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      seed = seed * 1103515245u + 12345u;
      uint8_t* p = pixels.data() + (static_cast<size_t>(y) * kWidth + x) * 4;
      p[0] = static_cast<uint8_t>(x / 3 + (seed >> 28));
      p[1] = static_cast<uint8_t>(y / 2 + (seed >> 27));
      p[2] = static_cast<uint8_t>((x + y) / 5 + (seed >> 29));
      p[3] = 0;
    }
  return pixels;
}

// Stands for the device's grabber once the picture is in system memory (the
// read-back itself is the device's: the live frame loop benchmark has it):
// the frame is lent where it lies.
class ReadBackGrabber : public lv::FrameGrabber {
 public:
  explicit ReadBackGrabber(const std::vector<uint8_t>& frame) : frame_(frame) {}
  lv::FrameGrab LendBackBuffer(int width, int, lv::FrameView* view) override {
    *view = {frame_.data(), width * 4};
    return lv::FrameGrab::Copied;
  }
  lv::FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) override {
    for (int y = 0; y < height; ++y)
      std::memcpy(pixels + static_cast<size_t>(y) * pitch, frame_.data() + static_cast<size_t>(y) * width * 4,
                  static_cast<size_t>(width) * 4);
    return lv::FrameGrab::Copied;
  }
  void ReleaseCopies() override {}

 private:
  const std::vector<uint8_t>& frame_;
};

class FixedPrompts : public lv::RenderPrompts {
 public:
  FixedPrompts(std::string capture, std::string target) : capture_(std::move(capture)), target_(std::move(target)) {}
  std::optional<std::string> OpenFile(const lv::FileDialogRequest&) override { return capture_; }
  std::optional<std::string> SaveFile(const lv::FileDialogRequest&) override { return target_; }
  void ShowError(const std::string&, const std::string&) override { failed = true; }
  bool failed = false;

 private:
  std::string capture_;
  std::string target_;
};

class FixedChooser : public lv::CompressorChooser {
 public:
  explicit FixedChooser(const char* encoder) { choice_.encoder = encoder; }
  std::optional<media::CompressorChoice> ChooseCompressor() override { return choice_; }

 private:
  media::CompressorChoice choice_;
};

class EndFlag : public lv::MessageWindow {
 public:
  void Post(uint32_t message, uintptr_t, intptr_t) override { ended = ended || message == lv::kPlaybackEndMessage; }
  bool ended = false;
};

// A capture whose last event falls in frame kFrames - 1.
void WriteCapture(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  auto event = [&](uint32_t time) {
    uint8_t record[lv::kCaptureEventRecordBytes] = {lv::kCaptureEventRecord};
    lv::PutU32(record + 1, 0xF8);
    lv::PutU32(record + 5, time);
    out.write(reinterpret_cast<const char*>(record), sizeof record);
  };
  event(0);
  event(static_cast<uint32_t>((kFrames - 1) * (1000.0 / 29.97)));
}

using Clock = std::chrono::steady_clock;

void BM_RenderAgainstEncoding(benchmark::State& state, const char* encoder) {
  if (media::FindVideoEncoder(encoder) == nullptr) {
    state.SkipWithError("encoder not in this FFmpeg build");
    return;
  }
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("lv_render_bench_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string capture = folder / "bench.midicap";
  WriteCapture(capture);
  const std::vector<uint8_t> frame = NoisyFrame();

  double renderSeconds = 0.0;
  double encodeSeconds = 0.0;
  int64_t rendered = 0;
  for (auto _ : state) {
    auto* performance = new lv::Performance;
    performance->width = kWidth;
    performance->height = kHeight;
    lv::Performer performer;
    performer.SetPerformance(performance);
    EndFlag mainDialog;
    performer.SetMainDialog(&mainDialog);
    performer.SetState(lv::Live);
    ReadBackGrabber grabber(frame);
    FixedPrompts prompts(capture, folder / "render.avi");
    FixedChooser chooser(encoder);
    lv::RenderController controller(performer, prompts, chooser);
    controller.SetFrameGrabber(&grabber);

    const auto start = Clock::now();
    controller.RenderCaptureFile();
    int passes = 0;
    while (!mainDialog.ended && !prompts.failed && passes < 10 * kFrames) {
      performer.RunPass();
      ++passes;
    }
    controller.StopRenderFile();
    const auto rendering = Clock::now();
    if (prompts.failed) {
      state.SkipWithError("render failed");
      break;
    }
    rendered += passes;

    std::string error;
    media::VideoFileFormat format{kWidth, kHeight, lv::RenderController::kRenderFrameRate};
    media::CompressorChoice choice;
    choice.encoder = encoder;
    auto writer = media::CreateAviWriter(folder / "encode.avi", format, choice, &error);
    for (int i = 0; writer && i < passes; ++i) writer->WriteFrame(frame.data(), kWidth * 4, media::PixelOrder::BGRX);
    if (writer) writer->Close();
    const auto encoding = Clock::now();

    const double render = std::chrono::duration<double>(rendering - start).count();
    renderSeconds += render;
    encodeSeconds += std::chrono::duration<double>(encoding - rendering).count();
    state.SetIterationTime(render);
  }
  std::filesystem::remove_all(folder);
  if (renderSeconds <= 0.0 || encodeSeconds <= 0.0) return;
  const double renderFps = static_cast<double>(rendered) / renderSeconds;
  const double encodeFps = static_cast<double>(rendered) / encodeSeconds;
  state.counters["render_fps"] = renderFps;
  state.counters["encode_fps"] = encodeFps;
  state.counters["ratio"] = renderFps / encodeFps;
}

BENCHMARK_CAPTURE(BM_RenderAgainstEncoding, rawvideo, "rawvideo")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderAgainstEncoding, mjpeg, "mjpeg")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderAgainstEncoding, mpeg4, "mpeg4")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RenderAgainstEncoding, ffv1, "ffv1")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
