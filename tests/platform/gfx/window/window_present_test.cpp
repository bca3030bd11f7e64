// A device presenting into a real X11 window, made and dropped again and
// again on the same window as the display moves between windows: each one
// shows its picture there, never by the read-back fallback.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/gfx/device.h"
#include "platform/gfx/graphics_system.h"

#define EGL_NO_X11
#include <epoxy/egl.h>

// Last: X11's macros would clash with the device's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

class WindowPresentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    x_ = XOpenDisplay(nullptr);
    ASSERT_NE(x_, nullptr);
    window_ = XCreateSimpleWindow(x_, DefaultRootWindow(x_), 0, 0, kWidth, kHeight, 0, 0, 0);
    XMapWindow(x_, window_);
    XSync(x_, False);
    system_ = gfx::CreateGraphicsSystem();
    ASSERT_TRUE(system_);
  }
  void TearDown() override {
    if (!x_) return;
    XDestroyWindow(x_, window_);
    XCloseDisplay(x_);
  }

  // The window's pixel at its centre, as 0xRRGGBB, once it is `expected`:
  // the swap reaches the server on the device's own connection, so a busy
  // machine may show the previous picture for a moment.
  unsigned long CentrePixelOnceItIs(unsigned long expected) {
    unsigned long pixel = ~0ul;
    for (int attempt = 0; attempt < 200 && pixel != expected; ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      XSync(x_, False);
      XImage* image = XGetImage(x_, window_, kWidth / 2, kHeight / 2, 1, 1, AllPlanes, ZPixmap);
      if (!image) continue;
      pixel = XGetPixel(image, 0, 0) & 0xffffff;
      XDestroyImage(image);
    }
    return pixel;
  }

  Display* x_ = nullptr;
  Window window_ = 0;
  std::unique_ptr<gfx::GraphicsSystem> system_;
};

TEST_F(WindowPresentTest, EachNewDeviceOnTheWindowPresentsIntoIt) {
  const gfx::Color colours[] = {0xff00ff00, 0xffff0000, 0xff0000ff, 0xffffff00, 0xff00ffff, 0xffff00ff};
  for (gfx::Color colour : colours) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    bool fellBack = false;
    gfx::PresentParameters pp;
    pp.backBufferWidth = kWidth;
    pp.backBufferHeight = kHeight;
    pp.backBufferFormat = gfx::Format::A8R8G8B8;
    pp.deviceWindow = gfx::NativeWindow{window_};
    pp.presentationInterval = 0;
    pp.presentFallback = [&](const gfx::PresentImage&) { fellBack = true; };
    gfx::Device* device = nullptr;
    ASSERT_EQ(gfx::Result::Ok, system_->CreateDevice(0, gfx::DeviceType::Hal, gfx::NativeWindow{window_},
                                                     gfx::create::Multithreaded, &pp, &device));
    ASSERT_EQ(gfx::Result::Ok, device->BeginScene());
    ASSERT_EQ(gfx::Result::Ok, device->Clear(0, nullptr, gfx::clear::Target, colour, 1.0f, 0));
    ASSERT_EQ(gfx::Result::Ok, device->EndScene());
    ASSERT_EQ(gfx::Result::Ok, device->Present(nullptr, nullptr, gfx::NativeWindow{}, nullptr));
    EXPECT_FALSE(fellBack) << "no window surface";
    EXPECT_EQ(colour & 0xffffff, CentrePixelOnceItIs(colour & 0xffffff));
    EXPECT_EQ(0u, device->Release());
  }
}

// EGL keeps its displays by the native pointer, and a new X connection is
// often opened at the address of one just closed: a display the device left
// initialised would come back bound to the closed connection.
TEST_F(WindowPresentTest, ADroppedDeviceLeavesNoDisplayBoundToItsConnection) {
  gfx::PresentParameters pp;
  pp.backBufferWidth = kWidth;
  pp.backBufferHeight = kHeight;
  pp.backBufferFormat = gfx::Format::A8R8G8B8;
  pp.deviceWindow = gfx::NativeWindow{window_};
  gfx::Device* device = nullptr;
  ASSERT_EQ(gfx::Result::Ok, system_->CreateDevice(0, gfx::DeviceType::Hal, gfx::NativeWindow{window_},
                                                   gfx::create::Multithreaded, &pp, &device));
  EXPECT_EQ(0u, device->Release());

  Display* later = XOpenDisplay(nullptr);
  ASSERT_NE(later, nullptr);
  EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_X11_EXT, later, nullptr);
  ASSERT_NE(display, EGL_NO_DISPLAY);
  EXPECT_EQ(nullptr, eglQueryString(display, EGL_VENDOR)) << "the display was handed over already initialised";
  eglTerminate(display);
  XCloseDisplay(later);
}

}  // namespace
