// The offline render's frame grabber on a real device: the back buffer comes
// out upright, unmirrored and scaled to the frame's size, rows at the
// caller's pitch, and the device copies go when the render ends.
#include "render/device_frame_grabber.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/graphics_system.h"

namespace {

using gfx::ColorArgb;

constexpr gfx::Color kTopLeft = ColorArgb(255, 220, 20, 20);
constexpr gfx::Color kTopRight = ColorArgb(255, 20, 200, 40);
constexpr gfx::Color kBottomLeft = ColorArgb(255, 30, 40, 210);
constexpr gfx::Color kBottomRight = ColorArgb(255, 250, 250, 120);
constexpr uint8_t kPadding = 0xEE;

// A device whose back buffer shows a different colour in each quadrant.
class QuadrantDevice {
 public:
  QuadrantDevice(uint32_t width, uint32_t height, gfx::Format format) {
    system_ = gfx::CreateGraphicsSystem();
    if (!system_) return;
    gfx::PresentParameters pp;
    pp.backBufferWidth = width;
    pp.backBufferHeight = height;
    pp.backBufferFormat = format;
    pp.presentFallback = [](const gfx::PresentImage&) {};
    if (gfx::Failed(system_->CreateDevice(0, gfx::DeviceType::Hal, gfx::NativeWindow{}, gfx::create::Multithreaded,
                                          &pp, &device_))) {
      return;
    }
    gfx::Ref<gfx::Surface> back;
    device_->GetBackBuffer(0, 0, back.put());
    const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    const struct {
      gfx::Rect rect;
      gfx::Color colour;
    } quadrants[] = {{{0, 0, w / 2, h / 2}, kTopLeft},
                     {{w / 2, 0, w, h / 2}, kTopRight},
                     {{0, h / 2, w / 2, h}, kBottomLeft},
                     {{w / 2, h / 2, w, h}, kBottomRight}};
    for (const auto& q : quadrants) EXPECT_EQ(gfx::Result::Ok, device_->ColorFill(back.get(), &q.rect, q.colour));
  }
  ~QuadrantDevice() {
    if (device_) {
      EXPECT_EQ(0u, device_->Release()) << "a device copy was not released";
    }
  }

  // References held on the device, by the test's own and its resources.
  uint32_t References() {
    device_->AddRef();
    return device_->Release();
  }

  gfx::Device* get() { return device_; }

 private:
  std::unique_ptr<gfx::GraphicsSystem> system_;
  gfx::Device* device_ = nullptr;
};

// A frame as the grabber leaves it: 32-bit blue, green, red, unused.
struct Frame {
  Frame(int width, int height, int pitch)
      : width(width), height(height), pitch(pitch), bytes(static_cast<size_t>(pitch) * height, kPadding) {}
  gfx::Color At(int x, int y) const {
    const uint8_t* p = bytes.data() + static_cast<size_t>(y) * pitch + x * 4;
    return ColorArgb(255, p[2], p[1], p[0]);
  }
  int width, height, pitch;
  std::vector<uint8_t> bytes;
};

::testing::AssertionResult Near(gfx::Color actual, gfx::Color expected) {
  for (int shift : {0, 8, 16}) {
    const int a = static_cast<int>((actual >> shift) & 0xFF), e = static_cast<int>((expected >> shift) & 0xFF);
    if (std::abs(a - e) > 2) {
      char text[64];
      std::snprintf(text, sizeof text, "0x%06X is not 0x%06X", actual & 0xFFFFFF, expected & 0xFFFFFF);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(DeviceFrameGrabber, GivesTheBackBufferUprightAtTheFramesSize) {
  const struct {
    const char* name;
    uint32_t backWidth, backHeight;
    gfx::Format format;
    int width, height;
  } cases[] = {
      {"same size, read directly", 40, 30, gfx::Format::X8R8G8B8, 40, 30},
      {"same size with alpha", 40, 30, gfx::Format::A8R8G8B8, 40, 30},
      {"larger display scaled down", 160, 120, gfx::Format::X8R8G8B8, 40, 30},
      {"smaller display scaled up", 20, 16, gfx::Format::X8R8G8B8, 60, 48},
      {"other aspect", 64, 64, gfx::Format::A8R8G8B8, 854, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    QuadrantDevice device(c.backWidth, c.backHeight, c.format);
    ASSERT_TRUE(device.get()) << "no OpenGL 4.5 through EGL";
    lv::DeviceFrameGrabber grabber(device.get());
    // Rows wider than the frame: the padding must stay untouched.
    Frame frame(c.width, c.height, c.width * 4 + 12);
    for (int pass = 0; pass < 2; ++pass)
      ASSERT_EQ(grabber.CopyBackBuffer(frame.bytes.data(), c.width, c.height, frame.pitch), lv::FrameGrab::Copied);

    const int w = c.width, h = c.height;
    EXPECT_TRUE(Near(frame.At(w / 4, h / 4), kTopLeft));
    EXPECT_TRUE(Near(frame.At(3 * w / 4, h / 4), kTopRight));
    EXPECT_TRUE(Near(frame.At(w / 4, 3 * h / 4), kBottomLeft));
    EXPECT_TRUE(Near(frame.At(3 * w / 4, 3 * h / 4), kBottomRight));
    EXPECT_TRUE(Near(frame.At(0, 0), kTopLeft));
    EXPECT_TRUE(Near(frame.At(w - 1, h - 1), kBottomRight));
    for (int y = 0; y < h; ++y)
      for (int i = w * 4; i < frame.pitch; ++i)
        ASSERT_EQ(frame.bytes[static_cast<size_t>(y) * frame.pitch + i], kPadding) << "row " << y;
  }
}

TEST(DeviceFrameGrabber, KeepsItsCopiesUntilTheRenderEndsAndRemakesThemForANewSize) {
  QuadrantDevice device(64, 48, gfx::Format::X8R8G8B8);
  ASSERT_TRUE(device.get()) << "no OpenGL 4.5 through EGL";
  const uint32_t before = device.References();
  lv::DeviceFrameGrabber grabber(device.get());
  Frame small(32, 24, 32 * 4);
  ASSERT_EQ(grabber.CopyBackBuffer(small.bytes.data(), 32, 24, small.pitch), lv::FrameGrab::Copied);
  const uint32_t rendering = device.References();
  EXPECT_GT(rendering, before);
  ASSERT_EQ(grabber.CopyBackBuffer(small.bytes.data(), 32, 24, small.pitch), lv::FrameGrab::Copied);
  EXPECT_EQ(device.References(), rendering) << "copies are made once per render";

  Frame same(64, 48, 64 * 4);
  ASSERT_EQ(grabber.CopyBackBuffer(same.bytes.data(), 64, 48, same.pitch), lv::FrameGrab::Copied);
  EXPECT_TRUE(Near(same.At(48, 36), kBottomRight));
  grabber.ReleaseCopies();
  EXPECT_EQ(device.References(), before);
}

TEST(DeviceFrameGrabber, CopiesThatCannotBeMadeAreReported) {
  QuadrantDevice device(64, 48, gfx::Format::X8R8G8B8);
  ASSERT_TRUE(device.get()) << "no OpenGL 4.5 through EGL";
  const uint32_t before = device.References();
  std::vector<uint8_t> pixels(64 * 4);
  lv::DeviceFrameGrabber grabber(device.get());
  EXPECT_EQ(grabber.CopyBackBuffer(pixels.data(), 100000, 1, 100000 * 4), lv::FrameGrab::NoTargetSurface)
      << "larger than any render target";
  EXPECT_EQ(grabber.CopyBackBuffer(pixels.data(), 64, 1, 64 * 3), lv::FrameGrab::NoTargetSurface) << "short pitch";
  EXPECT_EQ(device.References(), before);

  lv::DeviceFrameGrabber noDevice;
  EXPECT_EQ(noDevice.CopyBackBuffer(pixels.data(), 64, 1, 64 * 4), lv::FrameGrab::NoTargetSurface);
}

}  // namespace
