#pragma once
// The render side of the tests in which a capture device streams while frames
// are drawn: each pass draws between BeginScene and EndScene under the frame
// lock, stays in the frame long enough for the device's frames to arrive
// inside it, counts the passes that found a new frame, and pauses outside the
// lock as a real pass does after presenting (without that pause the lock goes
// straight back to the render loop and the other threads may wait the whole
// run).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>

#include "capture/capture_device.h"
#include "platform/gfx/device.h"
#include "platform/sys/critical_section.h"

namespace lvtest {

// Runs `body` (given the round's number) on a thread of its own until `stop` is set.
template <typename Body>
std::thread Loop(std::atomic<bool>& stop, Body body) {
  return std::thread([&stop, body]() mutable {
    for (int i = 0; !stop.load(); ++i) body(i);
  });
}

class CaptureFramePasses {
 public:
  CaptureFramePasses(gfx::Device& device, sys::CriticalSection& frameLock, builtin::CaptureDevice& capture)
      : device_(device), frameLock_(frameLock), capture_(capture) {}

  // Before the other threads start: one pass drawing `draw` over a delivered
  // frame, counted nowhere. The first pass is where the driver compiles the
  // shaders of the drawing and of the capture conversion, and where
  // ThreadSanitizer, symbolising its first (suppressed) report from the
  // driver, reads every library's debug information while stalling all
  // threads: seconds once, and more than a watchdog's limit on a busy machine.
  // Later passes reuse that work.
  template <typename Draw>
  void WarmUp(Draw draw) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Delivered() == 0 && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    sys::CriticalSectionLock pass(frameLock_);
    ASSERT_EQ(gfx::Result::Ok, device_.BeginScene());
    draw();
    ASSERT_EQ(gfx::Result::Ok, device_.EndScene());
    lastDelivered_ = Delivered();
  }

  // Render thread: one pass drawing `draw`.
  template <typename Draw>
  void Pass(Draw draw) {
    {
      sys::CriticalSectionLock pass(frameLock_);
      ASSERT_EQ(gfx::Result::Ok, device_.BeginScene());
      draw();
      // Slower than the device's frames, so some arrive inside the frame.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      ASSERT_EQ(gfx::Result::Ok, device_.EndScene());
      const uint32_t delivered = Delivered();
      if (delivered != lastDelivered_) fresh.fetch_add(1);
      lastDelivered_ = delivered;
    }
    passes.fetch_add(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  std::atomic<uint32_t> passes{0};
  std::atomic<uint32_t> fresh{0};  // passes that found a frame newer than the last pass's

 private:
  uint32_t Delivered() { return capture_.Renderer() != nullptr ? capture_.Renderer()->FrameCount() : 0; }

  gfx::Device& device_;
  sys::CriticalSection& frameLock_;
  builtin::CaptureDevice& capture_;
  uint32_t lastDelivered_ = 0;  // render thread only
};

}  // namespace lvtest
