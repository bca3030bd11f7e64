#pragma once
// The system's video capture devices: their names, inputs and video formats,
// and a streaming thread that hands every captured frame to a sink.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace capture {

// A four-character code as its bytes lie in memory ('Y' first for YUY2).
constexpr uint32_t FourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | (uint32_t(uint8_t(b)) << 8) | (uint32_t(uint8_t(c)) << 16) |
         (uint32_t(uint8_t(d)) << 24);
}
inline constexpr uint32_t kYuy2 = FourCC('Y', 'U', 'Y', '2');
inline constexpr uint32_t kYuyv = FourCC('Y', 'U', 'Y', 'V');
inline constexpr uint32_t kUyvy = FourCC('U', 'Y', 'V', 'Y');
// Uncompressed RGB: compression 0, with the bit count telling the layout.
inline constexpr uint32_t kUncompressedRgb = 0;

// The fastest frame rate any format is run at: 29.97 frames per second, as a
// frame time in 100-ns units.
inline constexpr int64_t kShortestFrameTime = 333667;

// One way the device can deliver video, in the terms of a bitmap header.
struct VideoFormat {
  uint32_t width = 0;
  int32_t height = 0;            // negative: rows top first (uncompressed RGB only)
  uint32_t compression = 0;      // FourCC, or kUncompressedRgb
  uint16_t bitCount = 0;         // 16 for packed 4:2:2, 32 for RGB32
  uint32_t imageSize = 0;        // bytes of one frame
  int64_t avgTimePerFrame = 0;   // 100-ns units
  friend bool operator==(const VideoFormat&, const VideoFormat&) = default;
};

// A physical connector of a device with several inputs. The type follows the
// usual physical-connector numbering (1 tuner, 2 composite, 3 S-Video, ...).
struct VideoInput {
  int32_t index = 0;
  int32_t connectorType = 0;
};

// One captured frame; the bytes are valid during DeliverFrame only.
struct Frame {
  const uint8_t* data = nullptr;
  uint32_t size = 0;     // bytes delivered
  uint32_t stride = 0;   // bytes from one row to the next as delivered
};

// Receives frames on the device's streaming thread.
class FrameSink {
 public:
  virtual ~FrameSink() = default;
  virtual void DeliverFrame(const Frame& frame) = 0;
};

// A bound device. Not locked: one owner drives it from one thread, while the
// streaming thread only calls the sink.
class VideoDevice {
 public:
  virtual ~VideoDevice() = default;
  // Every format the device offers, one per size, coding and frame time.
  virtual std::vector<VideoFormat> Formats() = 0;
  // The format the device is set to now; false when it cannot tell.
  virtual bool CurrentFormat(VideoFormat* format) = 0;
  virtual bool SetFormat(const VideoFormat& format) = 0;
  // The inputs of a device with a choice of several; empty otherwise.
  virtual std::vector<VideoInput> Inputs() = 0;
  // Index of the input in use, -1 when there is no choice.
  virtual int32_t CurrentInput() = 0;
  virtual bool SelectInput(int32_t index) = 0;
  // Starts the streaming thread in the format set last; false when the device
  // refused. The sink must outlive StopStreaming.
  virtual bool StartStreaming(FrameSink* sink) = 0;
  // Waits for the streaming thread to end; no frame arrives afterwards.
  virtual void StopStreaming() = 0;
};

// The video input devices of the system, in a stable order.
class CaptureSystem {
 public:
  virtual ~CaptureSystem() = default;
  // One entry per device in system order; an entry without a name is a device
  // whose name could not be read. Nothing when the devices cannot be listed.
  virtual std::optional<std::vector<std::optional<std::string>>> Enumerate() = 0;
  // The device at `index` of the enumeration; null when it cannot be bound.
  virtual std::unique_ptr<VideoDevice> Bind(int32_t index) = 0;
};

// The name of the built-in test-pattern device.
inline constexpr const char* kTestPatternName = "Test Pattern";

// The V4L2 devices, followed by the test-pattern device when the environment
// variable LV_CAPTURE_TEST_PATTERN is set to a non-empty value.
std::unique_ptr<CaptureSystem> CreateCaptureSystem();
// Only the V4L2 devices of /dev/video*.
std::unique_ptr<CaptureSystem> CreateV4l2CaptureSystem();
// Only the test-pattern device.
std::unique_ptr<CaptureSystem> CreateTestPatternSystem();

// A device that needs no hardware: colour bars in 320 x 240 or 640 x 480,
// YUY2, UYVY or RGB32, delivered at the format's frame time.
std::unique_ptr<VideoDevice> CreateTestPatternDevice();

// The bars the test pattern shows, left to right, as 0xRRGGBB (studio-range
// YUV in the 4:2:2 formats, so converters give these colours back).
inline constexpr uint32_t kTestPatternBars[4] = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF};

}  // namespace capture
