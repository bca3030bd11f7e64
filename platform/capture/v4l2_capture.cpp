// Video capture devices through V4L2 (libv4l2, which also converts the
// formats some drivers offer only in their own coding).
#include <fcntl.h>
#include <libv4l2.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/capture/video_device.h"

namespace capture {

namespace {

constexpr int kBufferCount = 4;

int Ioctl(int fd, unsigned long request, void* arg) {
  int r;
  do {
    r = v4l2_ioctl(fd, request, arg);
  } while (r == -1 && errno == EINTR);
  return r;
}

// The capture nodes of the system, by device number.
std::vector<std::string> CaptureNodes() {
  std::vector<std::pair<int, std::string>> nodes;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("video", 0) != 0 || name.size() == 5) continue;
    char* end = nullptr;
    const long number = std::strtol(name.c_str() + 5, &end, 10);
    if (*end != '\0') continue;
    nodes.emplace_back(static_cast<int>(number), entry.path().string());
  }
  std::sort(nodes.begin(), nodes.end());
  std::vector<std::string> paths;
  for (auto& node : nodes) paths.push_back(std::move(node.second));
  return paths;
}

// Whether the node captures video, and its card name when it can be read.
bool IsCaptureNode(const std::string& path, std::optional<std::string>* name) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
  if (fd < 0) {
    *name = std::nullopt;  // present but not ours to open: listed without a name
    return true;
  }
  v4l2_capability cap{};
  bool capture = false;
  if (::ioctl(fd, VIDIOC_QUERYCAP, &cap) == 0) {
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    capture = (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING);
    *name = std::string(reinterpret_cast<const char*>(cap.card));
  }
  ::close(fd);
  return capture;
}

struct Coding {
  uint32_t compression;
  uint16_t bits;
};

Coding CodingOf(uint32_t pixelFormat) {
  switch (pixelFormat) {
    case V4L2_PIX_FMT_YUYV: return {kYuy2, 16};
    case V4L2_PIX_FMT_UYVY: return {kUyvy, 16};
    case V4L2_PIX_FMT_XRGB32:
    case V4L2_PIX_FMT_BGR32: return {kUncompressedRgb, 32};
    default: return {pixelFormat, 0};
  }
}

uint32_t PixelFormatOf(const VideoFormat& f) {
  if (f.compression == kYuy2 || f.compression == kYuyv) return V4L2_PIX_FMT_YUYV;
  if (f.compression == kUyvy) return V4L2_PIX_FMT_UYVY;
  if (f.compression == kUncompressedRgb) return V4L2_PIX_FMT_XRGB32;
  return f.compression;
}

int64_t FrameTime(const v4l2_fract& interval) {
  if (interval.denominator == 0) return kShortestFrameTime;
  return static_cast<int64_t>(interval.numerator) * 10000000 / interval.denominator;
}

class V4l2Device final : public VideoDevice {
 public:
  explicit V4l2Device(int fd) : fd_(fd) {
    VideoFormat f;
    if (CurrentFormat(&f)) chosen_ = f;
  }
  ~V4l2Device() override {
    StopStreaming();
    v4l2_close(fd_);
  }

  std::vector<VideoFormat> Formats() override {
    std::vector<VideoFormat> formats;
    v4l2_fmtdesc desc{};
    desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    for (desc.index = 0; Ioctl(fd_, VIDIOC_ENUM_FMT, &desc) == 0; ++desc.index) {
      v4l2_frmsizeenum size{};
      size.pixel_format = desc.pixelformat;
      for (size.index = 0; Ioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
        // Stepwise sizes are offered at their largest.
        const bool discrete = size.type == V4L2_FRMSIZE_TYPE_DISCRETE;
        const uint32_t w = discrete ? size.discrete.width : size.stepwise.max_width;
        const uint32_t h = discrete ? size.discrete.height : size.stepwise.max_height;
        AddIntervals(desc.pixelformat, w, h, &formats);
        if (!discrete) break;
      }
    }
    return formats;
  }

  bool CurrentFormat(VideoFormat* format) override {
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(fd_, VIDIOC_G_FMT, &fmt) != 0) return false;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    const int64_t time = Ioctl(fd_, VIDIOC_G_PARM, &parm) == 0 ? FrameTime(parm.parm.capture.timeperframe)
                                                                : kShortestFrameTime;
    *format = Describe(fmt.fmt.pix.pixelformat, fmt.fmt.pix.width, fmt.fmt.pix.height, time);
    return true;
  }

  bool SetFormat(const VideoFormat& format) override {
    chosen_ = format;
    return Apply(nullptr);
  }

  std::vector<VideoInput> Inputs() override {
    std::vector<VideoInput> inputs;
    v4l2_input input{};
    for (input.index = 0; Ioctl(fd_, VIDIOC_ENUMINPUT, &input) == 0; ++input.index)
      inputs.push_back(VideoInput{static_cast<int32_t>(input.index), input.type == V4L2_INPUT_TYPE_TUNER ? 1 : 2});
    if (inputs.size() < 2) inputs.clear();
    return inputs;
  }
  int32_t CurrentInput() override {
    int index = -1;
    if (Inputs().empty() || Ioctl(fd_, VIDIOC_G_INPUT, &index) != 0) return -1;
    return index;
  }
  bool SelectInput(int32_t index) override {
    int value = index;
    return Ioctl(fd_, VIDIOC_S_INPUT, &value) == 0;
  }

  bool StartStreaming(FrameSink* sink) override {
    if (!sink || thread_.joinable()) return false;
    uint32_t stride = 0;
    if (!Apply(&stride) || !MapBuffers()) {
      UnmapBuffers();
      return false;
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (Ioctl(fd_, VIDIOC_STREAMON, &type) != 0) {
      UnmapBuffers();
      return false;
    }
    stop_ = false;
    thread_ = std::thread([this, sink, stride] { Stream(sink, stride); });
    return true;
  }

  void StopStreaming() override {
    if (!thread_.joinable()) return;
    stop_ = true;
    thread_.join();
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    Ioctl(fd_, VIDIOC_STREAMOFF, &type);
    UnmapBuffers();
  }

 private:
  struct Buffer {
    void* start = MAP_FAILED;
    size_t length = 0;
  };

  static VideoFormat Describe(uint32_t pixelFormat, uint32_t w, uint32_t h, int64_t frameTime) {
    const Coding coding = CodingOf(pixelFormat);
    VideoFormat f;
    f.width = w;
    // V4L2 rows always come top first; RGB says so with a negative height.
    f.height = coding.compression == kUncompressedRgb ? -static_cast<int32_t>(h) : static_cast<int32_t>(h);
    f.compression = coding.compression;
    f.bitCount = coding.bits;
    f.imageSize = w * h * (coding.bits ? coding.bits : 16) / 8;
    f.avgTimePerFrame = frameTime;
    return f;
  }

  void AddIntervals(uint32_t pixelFormat, uint32_t w, uint32_t h, std::vector<VideoFormat>* formats) {
    v4l2_frmivalenum interval{};
    interval.pixel_format = pixelFormat;
    interval.width = w;
    interval.height = h;
    bool any = false;
    for (interval.index = 0; Ioctl(fd_, VIDIOC_ENUM_FRAMEINTERVALS, &interval) == 0; ++interval.index) {
      const bool discrete = interval.type == V4L2_FRMIVAL_TYPE_DISCRETE;
      formats->push_back(Describe(pixelFormat, w, h, FrameTime(discrete ? interval.discrete : interval.stepwise.min)));
      any = true;
      if (!discrete) break;
    }
    if (!any) formats->push_back(Describe(pixelFormat, w, h, kShortestFrameTime));
  }

  // Sets the chosen format on the device; `stride` gets the row length it uses.
  bool Apply(uint32_t* stride) {
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = chosen_.width;
    fmt.fmt.pix.height = static_cast<uint32_t>(std::abs(chosen_.height));
    fmt.fmt.pix.pixelformat = PixelFormatOf(chosen_);
    fmt.fmt.pix.field = V4L2_FIELD_NONE;
    if (Ioctl(fd_, VIDIOC_S_FMT, &fmt) != 0) return false;
    if (fmt.fmt.pix.pixelformat != PixelFormatOf(chosen_) || fmt.fmt.pix.width != chosen_.width ||
        fmt.fmt.pix.height != static_cast<uint32_t>(std::abs(chosen_.height)))
      return false;
    if (stride) *stride = fmt.fmt.pix.bytesperline;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe.numerator = static_cast<uint32_t>(chosen_.avgTimePerFrame);
    parm.parm.capture.timeperframe.denominator = 10000000;
    Ioctl(fd_, VIDIOC_S_PARM, &parm);  // a device with a fixed rate keeps its own
    return true;
  }

  bool MapBuffers() {
    v4l2_requestbuffers request{};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (Ioctl(fd_, VIDIOC_REQBUFS, &request) != 0 || request.count == 0) return false;
    buffers_.resize(request.count);
    for (uint32_t i = 0; i < request.count; ++i) {
      v4l2_buffer buffer{};
      buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
      buffer.memory = V4L2_MEMORY_MMAP;
      buffer.index = i;
      if (Ioctl(fd_, VIDIOC_QUERYBUF, &buffer) != 0) return false;
      buffers_[i].length = buffer.length;
      buffers_[i].start = v4l2_mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, buffer.m.offset);
      if (buffers_[i].start == MAP_FAILED || Ioctl(fd_, VIDIOC_QBUF, &buffer) != 0) return false;
    }
    return true;
  }

  void UnmapBuffers() {
    for (Buffer& b : buffers_)
      if (b.start != MAP_FAILED) v4l2_munmap(b.start, b.length);
    buffers_.clear();
    v4l2_requestbuffers request{};
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    Ioctl(fd_, VIDIOC_REQBUFS, &request);
  }

  void Stream(FrameSink* sink, uint32_t stride) {
    while (!stop_) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      v4l2_buffer buffer{};
      buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
      buffer.memory = V4L2_MEMORY_MMAP;
      if (Ioctl(fd_, VIDIOC_DQBUF, &buffer) != 0) continue;
      if (buffer.index < buffers_.size() && !(buffer.flags & V4L2_BUF_FLAG_ERROR)) {
        const uint32_t used = std::min<uint32_t>(buffer.bytesused, static_cast<uint32_t>(buffers_[buffer.index].length));
        sink->DeliverFrame(Frame{static_cast<const uint8_t*>(buffers_[buffer.index].start), used, stride});
      }
      Ioctl(fd_, VIDIOC_QBUF, &buffer);
    }
  }

  int fd_;
  VideoFormat chosen_;
  std::vector<Buffer> buffers_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class V4l2System final : public CaptureSystem {
 public:
  std::optional<std::vector<std::optional<std::string>>> Enumerate() override {
    paths_.clear();
    std::vector<std::optional<std::string>> names;
    for (const std::string& path : CaptureNodes()) {
      std::optional<std::string> name;
      if (!IsCaptureNode(path, &name)) continue;
      paths_.push_back(path);
      names.push_back(std::move(name));
    }
    return names;
  }

  std::unique_ptr<VideoDevice> Bind(int32_t index) override {
    if (index < 0 || static_cast<size_t>(index) >= paths_.size()) return nullptr;
    const int fd = v4l2_open(paths_[static_cast<size_t>(index)].c_str(), O_RDWR | O_NONBLOCK);
    if (fd < 0) return nullptr;
    return std::make_unique<V4l2Device>(fd);
  }

 private:
  std::vector<std::string> paths_;
};

// The V4L2 devices, then the test-pattern device.
class CombinedSystem final : public CaptureSystem {
 public:
  std::optional<std::vector<std::optional<std::string>>> Enumerate() override {
    auto names = v4l2_.Enumerate();
    if (!names) names.emplace();
    realCount_ = static_cast<int32_t>(names->size());
    names->push_back(std::string(kTestPatternName));
    return names;
  }
  std::unique_ptr<VideoDevice> Bind(int32_t index) override {
    return index == realCount_ ? CreateTestPatternDevice() : v4l2_.Bind(index);
  }

 private:
  V4l2System v4l2_;
  int32_t realCount_ = 0;
};

}  // namespace

std::unique_ptr<CaptureSystem> CreateV4l2CaptureSystem() { return std::make_unique<V4l2System>(); }

std::unique_ptr<CaptureSystem> CreateCaptureSystem() {
  const char* wanted = std::getenv("LV_CAPTURE_TEST_PATTERN");
  if (wanted && *wanted) return std::make_unique<CombinedSystem>();
  return CreateV4l2CaptureSystem();
}

}  // namespace capture
