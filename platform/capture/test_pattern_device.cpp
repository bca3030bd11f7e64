// The built-in capture device that needs no hardware.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "platform/capture/video_device.h"

namespace capture {

namespace {

struct Yuv {
  uint8_t y, u, v;
};

// Studio-range BT.601, the coding capture hardware uses.
Yuv ToYuv(uint32_t rgb) {
  const double r = ((rgb >> 16) & 0xFF) / 255.0, g = ((rgb >> 8) & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
  auto clamp = [](double x) { return static_cast<uint8_t>(std::clamp(std::lround(x), 0L, 255L)); };
  return Yuv{clamp(16 + 65.481 * r + 128.553 * g + 24.966 * b), clamp(128 - 37.797 * r - 74.203 * g + 112.0 * b),
             clamp(128 + 112.0 * r - 93.786 * g - 18.214 * b)};
}

VideoFormat Make(uint32_t width, uint32_t height, uint32_t compression, uint16_t bits, int64_t frameTime) {
  VideoFormat f;
  f.width = width;
  f.height = static_cast<int32_t>(height);
  f.compression = compression;
  f.bitCount = bits;
  f.imageSize = width * height * bits / 8;
  f.avgTimePerFrame = frameTime;
  return f;
}

class TestPatternDevice final : public VideoDevice {
 public:
  TestPatternDevice() { current_ = Formats().front(); }
  ~TestPatternDevice() override { StopStreaming(); }

  std::vector<VideoFormat> Formats() override {
    return {Make(640, 480, kYuy2, 16, 333667), Make(320, 240, kYuy2, 16, 333667), Make(320, 240, kUyvy, 16, 333667),
            Make(320, 240, kUncompressedRgb, 32, 333667)};
  }
  bool CurrentFormat(VideoFormat* format) override {
    *format = current_;
    return true;
  }
  bool SetFormat(const VideoFormat& format) override {
    for (const VideoFormat& f : Formats()) {
      if (f.width == format.width && f.height == format.height && f.compression == format.compression) {
        current_ = format;
        return true;
      }
    }
    return false;
  }
  std::vector<VideoInput> Inputs() override { return {}; }
  int32_t CurrentInput() override { return -1; }
  bool SelectInput(int32_t) override { return false; }

  bool StartStreaming(FrameSink* sink) override {
    if (!sink || thread_.joinable()) return false;
    BuildFrame();
    stop_ = false;
    thread_ = std::thread([this, sink] { Stream(sink); });
    return true;
  }
  void StopStreaming() override {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  void BuildFrame() {
    const uint32_t width = current_.width, height = static_cast<uint32_t>(std::abs(current_.height));
    stride_ = width * current_.bitCount / 8;
    frame_.assign(static_cast<size_t>(stride_) * height, 0);
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t rgb = kTestPatternBars[x * 4 / width];
      for (uint32_t y = 0; y < height; ++y) {
        uint8_t* p = frame_.data() + static_cast<size_t>(y) * stride_;
        if (current_.compression == kUncompressedRgb) {
          // Bottom-up rows unless the height says otherwise.
          const uint32_t row = current_.height < 0 ? y : height - 1 - y;
          uint8_t* q = frame_.data() + static_cast<size_t>(row) * stride_ + x * 4;
          q[0] = rgb & 0xFF, q[1] = (rgb >> 8) & 0xFF, q[2] = (rgb >> 16) & 0xFF, q[3] = 0xFF;
          continue;
        }
        const Yuv c = ToYuv(rgb);
        const bool yuy2 = current_.compression != kUyvy;
        uint8_t* pair = p + (x & ~1u) * 2;
        pair[yuy2 ? ((x & 1) ? 2 : 0) : ((x & 1) ? 3 : 1)] = c.y;
        if ((x & 1) == 0) {
          pair[yuy2 ? 1 : 0] = c.u;
          pair[yuy2 ? 3 : 2] = c.v;
        }
      }
    }
  }

  void Stream(FrameSink* sink) {
    const auto period = std::chrono::microseconds(std::max<int64_t>(current_.avgTimePerFrame, 1) / 10);
    auto next = std::chrono::steady_clock::now();
    while (!stop_) {
      sink->DeliverFrame(Frame{frame_.data(), static_cast<uint32_t>(frame_.size()), stride_});
      next += period;
      while (!stop_ && std::chrono::steady_clock::now() < next) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  VideoFormat current_;
  std::vector<uint8_t> frame_;
  uint32_t stride_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class TestPatternSystem final : public CaptureSystem {
 public:
  std::optional<std::vector<std::optional<std::string>>> Enumerate() override {
    return std::vector<std::optional<std::string>>{std::string(kTestPatternName)};
  }
  std::unique_ptr<VideoDevice> Bind(int32_t index) override {
    return index == 0 ? CreateTestPatternDevice() : nullptr;
  }
};

}  // namespace

std::unique_ptr<VideoDevice> CreateTestPatternDevice() { return std::make_unique<TestPatternDevice>(); }
std::unique_ptr<CaptureSystem> CreateTestPatternSystem() { return std::make_unique<TestPatternSystem>(); }

}  // namespace capture
