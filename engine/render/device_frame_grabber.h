#pragma once
// The offline render's frame grabber on the graphics device: the back buffer
// goes to a system-memory surface, scaled first into a render target of the
// frame's size when the two sizes differ, and is copied out top row first.
#include <cstdint>

#include "platform/gfx/device.h"
#include "platform/gfx/resources.h"
#include "render/frame_grabber.h"

namespace lv {

class DeviceFrameGrabber : public FrameGrabber {
 public:
  // `device` may be null until the display is set up; it stays the caller's.
  explicit DeviceFrameGrabber(gfx::Device* device = nullptr) : device_(device) {}
  ~DeviceFrameGrabber() override { ReleaseCopies(); }
  DeviceFrameGrabber(const DeviceFrameGrabber&) = delete;
  DeviceFrameGrabber& operator=(const DeviceFrameGrabber&) = delete;

  // A new device (after a display reset); the copies of the old one go.
  void SetDevice(gfx::Device* device);

  FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) override;
  // Lends the locked system-memory copy.
  FrameGrab LendBackBuffer(int width, int height, FrameView* view) override;
  void ReturnBackBuffer() override;
  void ReleaseCopies() override;

 private:
  // Makes the copies for a back buffer of `source` read into width x height;
  // keeps the ones there when they fit.
  FrameGrab MakeCopies(const gfx::SurfaceDesc& source, uint32_t width, uint32_t height);

  gfx::Device* device_;
  // Null when the back buffer has the frame's size and is read directly.
  gfx::Ref<gfx::Surface> scaled_;
  gfx::Ref<gfx::Surface> systemCopy_;
  gfx::SurfaceDesc copiedFrom_;  // the back buffer the copies were made for
  uint32_t copyWidth_ = 0;
  uint32_t copyHeight_ = 0;
  bool locked_ = false;
};

}  // namespace lv
