// A capture file rendered to AVI on the real pieces: the Performer plays it
// on a real graphics device, the frame grabber reads each frame back, the
// RenderController compresses it with FFmpeg, and the file is decoded again.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/engine_audio_input.h"
#include "capture_test_support.h"
#include "gfx_frame_device.h"
#include "performance/performance.h"
#include "performer/message_window.h"
#include "performer/performer.h"
#include "platform/audio/file_wave_in.h"
#include "platform/gfx/graphics_system.h"
#include "platform/media/video_stream_reader.h"
#include "recording_window.h"
#include "render/compressor_chooser.h"
#include "render/device_frame_grabber.h"
#include "render/render_controller.h"
#include "render/render_prompts.h"
#include "test_plug.h"
#include "test_show.h"
#include "wav_bytes.h"

namespace lvtest {
namespace {

// Every patch marks the bottom-right quarter of the screen, so a frame read
// back flipped or mirrored shows it elsewhere.
constexpr Rgb kMarker{250, 250, 120};

gfx::Color Argb(const Rgb& c) { return gfx::ColorArgb(255, c.r, c.g, c.b); }

// Fills the screen with its colour when it renders.
class ColourFillPatch : public TestPlug {
 public:
  ColourFillPatch(gfx::Device* device, Rgb colour) : TestPlug(nullptr, "fill"), device_(device), colour_(colour) {}
  void Render(uint32_t) override {
    device_->Clear(0, nullptr, gfx::clear::Target, Argb(colour_), 1.0f, 0);
    gfx::Ref<gfx::Surface> target;
    device_->GetRenderTarget(0, target.put());
    gfx::SurfaceDesc desc;
    target->GetDesc(&desc);
    const int32_t w = static_cast<int32_t>(desc.width), h = static_cast<int32_t>(desc.height);
    const gfx::Rect quarter{w / 2, h / 2, w, h};
    device_->ColorFill(target.get(), &quarter, Argb(kMarker));
  }

 private:
  gfx::Device* device_;
  Rgb colour_;
};

// Polls until `done`, for a minute at most: a busy machine makes the render
// thread slower, never the test red.
bool WaitFor(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

class AnswerPrompts : public lv::RenderPrompts {
 public:
  std::optional<std::string> OpenFile(const lv::FileDialogRequest&) override { return capture; }
  std::optional<std::string> SaveFile(const lv::FileDialogRequest&) override { return target; }
  void ShowError(const std::string& text, const std::string& caption) override {
    errors.push_back(text + " | " + caption);
  }
  std::string capture, target;
  std::vector<std::string> errors;
};

class AnswerChooser : public lv::CompressorChooser {
 public:
  std::optional<media::CompressorChoice> ChooseCompressor() override { return choice; }
  media::CompressorChoice choice;
};

// A device on an EGL surfaceless context whose back buffer is the display.
class Display {
 public:
  Display(uint32_t width, uint32_t height) {
    system_ = gfx::CreateGraphicsSystem();
    if (!system_) return;
    gfx::PresentParameters pp;
    pp.backBufferWidth = width;
    pp.backBufferHeight = height;
    pp.presentFallback = [](const gfx::PresentImage&) {};
    if (gfx::Failed(system_->CreateDevice(0, gfx::DeviceType::Hal, gfx::NativeWindow{}, gfx::create::Multithreaded,
                                          &pp, &device_))) {
      device_ = nullptr;
    }
  }
  ~Display() {
    if (device_) device_->Release();
  }
  gfx::Device* get() { return device_; }

 private:
  std::unique_ptr<gfx::GraphicsSystem> system_;
  gfx::Device* device_ = nullptr;
};

class RenderToAviTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A second of a low tone for the sound input, handed out on demand.
    wavtest::WavSpec wav;
    for (int i = 0; i < 44100; ++i) {
      const auto v = static_cast<int16_t>((i / 100) % 2 ? 8000 : -8000);
      wav.samples.push_back(v);
      wav.samples.push_back(v);
    }
    const std::string wavPath = folder / "line-in.wav";
    const std::vector<uint8_t> bytes = wavtest::WavBytes(wav);
    std::FILE* f = std::fopen(wavPath.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    waveIn = std::make_unique<audio::FileWaveInDevices>(wavPath, audio::FilePacing::OnDemand);
    input = std::make_unique<AudioInput>(*waveIn);
    input->FindDevices();
    input->Open(input->FirstDevice());
    ASSERT_TRUE(input->IsOpen());
    engineAudio = std::make_unique<EngineAudioInput>(*input);

    TestShow().Save(folder / "show.midicap");
    prompts.capture = folder / "show.midicap";
    prompts.target = folder / "out.avi";
    performer.SetMainDialog(&mainDialog);
    performer.SetAudioInput(engineAudio.get());
    performer.SetCaptureAudio(engineAudio.get());
    performer.SetState(lv::Live);
    controller.SetFrameGrabber(&grabber);
    controller.SetCaptureAudio(engineAudio.get());
  }

  void TearDown() override {
    performer.SetDevice(nullptr);
    performer.SetPerformance(nullptr);
    input->Shutdown();
  }

  // The display, the device the frame loop draws with and the show's
  // patches on it; the frames are width x height.
  void Connect(Display& display, int width, int height) {
    ASSERT_TRUE(display.get()) << "no OpenGL 4.5 through EGL";
    frameDevice = std::make_unique<GfxFrameDevice>(display.get());
    performer.SetDevice(frameDevice.get());
    grabber.SetDevice(display.get());
    auto* performance = new lv::Performance;  // the Performer owns it
    performance->width = width;
    performance->height = height;
    performance->channelMask = 1;
    lv::Bank* bank = performance->CreateBank(0);
    bank->slots[kRedNote].patch = std::make_unique<ColourFillPatch>(display.get(), kRed);
    bank->slots[kGreenNote].patch = std::make_unique<ColourFillPatch>(display.get(), kGreen);
    performance->SelectBank(0);
    performer.SetPerformance(performance);
    performer.SetChannelMask(1);
  }

  void Disconnect() {
    performer.SetDevice(nullptr);
    grabber.SetDevice(nullptr);
    performer.SetPerformance(nullptr);
    frameDevice.reset();
  }

  int EndCount() {
    int count = 0;
    for (const PostedMessage& m : mainDialog.Posted()) count += m.message == lv::kPlaybackEndMessage;
    return count;
  }

  // The render thread's passes until the end is reported, then the main
  // dialog's stop.
  void Render() {
    mainDialog.Clear();
    controller.RenderCaptureFile();
    ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
    ASSERT_EQ(performer.State(), lv::PlayingCapture);
    EXPECT_FALSE(input->IsOpen()) << "the spectrum comes from the capture file";
    for (int pass = 0; pass < 200 && EndCount() == 0; ++pass) performer.RunPass();
    ASSERT_EQ(EndCount(), 1);
    controller.StopRenderFile();
    EXPECT_EQ(performer.State(), lv::Live);
    EXPECT_TRUE(input->IsOpen());
    EXPECT_TRUE(prompts.errors.empty());
  }

  // Each frame's colour; checks on the way that every row shows the colour
  // and the marker where they belong.
  std::vector<Rgb> DecodeFrames(const std::string& name, int width, int height, int tolerance) {
    std::string error;
    auto reader = media::OpenVideoStream(folder / name, &error);
    EXPECT_TRUE(reader) << error;
    if (!reader) return {};
    const media::VideoStreamInfo& info = reader->Info();
    EXPECT_EQ(info.width, width);
    EXPECT_EQ(info.height, height);
    EXPECT_EQ(info.frameRate.num * 100, info.frameRate.den * 2997);
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    auto at = [&](int x, int y) {
      const uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 4;
      return Rgb{p[2], p[1], p[0]};
    };
    auto near = [&](const Rgb& a, const Rgb& b) {
      return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
    };
    // Rows and columns near the quarter's edges blend under scaling and
    // lossy coding; the rest must match exactly or within the tolerance.
    const int margin = 4 + (tolerance > 0 ? 4 : 0);
    std::vector<Rgb> frames;
    for (int64_t i = 0; i < info.frameCount; ++i) {
      EXPECT_TRUE(reader->ReadFrame(i, pixels.data(), width * 4));
      Rgb colour = at(width / 4, height / 4);
      for (const Rgb& known : {kBlack, kRed, kGreen})
        if (near(colour, known)) colour = known;
      const bool lit = colour != kBlack;
      for (int y = 0; y < height; ++y) {
        if (std::abs(y - height / 2) < margin || (tolerance > 0 && (y < margin || y >= height - margin))) continue;
        for (int x : {margin, width / 2 - margin, width / 2 + margin, width - 1 - margin}) {
          const Rgb want = lit && y >= height / 2 && x >= width / 2 ? kMarker : colour;
          EXPECT_TRUE(near(at(x, y), want)) << name << " frame " << i << " at " << x << "," << y;
        }
      }
      frames.push_back(colour);
    }
    return frames;
  }

  ScratchFolder folder;
  std::unique_ptr<audio::FileWaveInDevices> waveIn;
  std::unique_ptr<AudioInput> input;
  std::unique_ptr<EngineAudioInput> engineAudio;
  std::unique_ptr<GfxFrameDevice> frameDevice;
  lv::DeviceFrameGrabber grabber;
  lv::Performer performer;
  RecordingWindow mainDialog;
  AnswerPrompts prompts;
  AnswerChooser chooser;
  lv::RenderController controller{performer, prompts, chooser};
};

TEST_F(RenderToAviTest, EachFrameShowsTheNotesPlayingAtItsClock) {
  struct Case {
    std::string encoder;
    uint32_t displayWidth, displayHeight;
    int width, height;
    int tolerance;
  };
  std::vector<Case> cases = {
      {"rawvideo", 854, 40, 854, 40, 0},     // rows of 2562 bytes: no shearing
      {"rawvideo", 640, 480, 320, 240, 0},   // the display scaled into the frame
  };
  if (media::FindVideoEncoder("ffv1")) cases.push_back({"ffv1", 200, 150, 400, 300, 0});
  if (media::FindVideoEncoder("mjpeg")) cases.push_back({"mjpeg", 320, 240, 320, 240, 24});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.encoder + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
    Display display(c.displayWidth, c.displayHeight);
    Connect(display, c.width, c.height);
    chooser.choice = media::CompressorChoice{c.encoder};
    Render();
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"line-in.wav", "out.avi", "show.midicap"}));
    EXPECT_EQ(DecodeFrames("out.avi", c.width, c.height, c.tolerance), kShowFrames);
    Disconnect();
  }
}

TEST_F(RenderToAviTest, ASmallPartLimitSplitsTheRenderIntoNumberedParts) {
  Display display(64, 48);
  Connect(display, 64, 48);
  // Uncompressed 64 x 48 frames are 9216 bytes: a part closes after its
  // fourth frame.
  controller.SetPartBytes(9216 * 3 + 4608);
  Render();
  EXPECT_EQ(folder.Names(),
            (std::vector<std::string>{"line-in.wav", "out_000.avi", "out_001.avi", "out_002.avi", "show.midicap"}));
  std::vector<Rgb> frames;
  std::vector<size_t> counts;
  for (const char* part : {"out_000.avi", "out_001.avi", "out_002.avi"}) {
    const std::vector<Rgb> partFrames = DecodeFrames(part, 64, 48, 0);
    counts.push_back(partFrames.size());
    frames.insert(frames.end(), partFrames.begin(), partFrames.end());
  }
  EXPECT_EQ(counts, (std::vector<size_t>{4, 4, 2}));
  EXPECT_EQ(frames, kShowFrames);
  Disconnect();
}

TEST_F(RenderToAviTest, AMainDialogAnsweringTheEndLateAddsNoFrameOnTheRenderThread) {
  Display display(64, 48);
  Connect(display, 64, 48);
  controller.RenderCaptureFile();
  ASSERT_TRUE(prompts.errors.empty()) << prompts.errors[0];
  ASSERT_TRUE(performer.Start());
  // The main dialog is busy: it answers the end only once the render thread
  // has presented many more passes.
  const bool ended = WaitFor([&] { return EndCount() > 0; });
  const int presentedAtEnd = frameDevice->presents.load();
  const bool wentOn = ended && WaitFor([&] { return frameDevice->presents.load() >= presentedAtEnd + 50; });
  controller.StopRenderFile();
  ASSERT_TRUE(performer.Stop());
  ASSERT_TRUE(ended) << "the end of the capture was not reported";
  ASSERT_TRUE(wentOn) << "the render thread stopped after the end";
  EXPECT_EQ(performer.State(), lv::Live);
  EXPECT_EQ(EndCount(), 1);
  EXPECT_EQ(DecodeFrames("out.avi", 64, 48, 0), kShowFrames);
  Disconnect();
}

}  // namespace
}  // namespace lvtest
