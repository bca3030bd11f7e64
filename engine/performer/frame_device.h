#pragma once
// The graphics device as the frame loop uses it.
#include "platform/sys/critical_section.h"

namespace lv {

class FrameDevice {
 public:
  static constexpr int kBackBuffer = -1;

  virtual ~FrameDevice() = default;
  // Clears the depth buffer, begins the scene and sets the frame's default
  // render states; takes the device lock itself.
  virtual void BeginFrame() = 0;
  // The caller holds DeviceLock().
  virtual void EndScene() = 0;
  virtual void Present() = 0;
  // Makes the back buffer (kBackBuffer) or work buffer n the render target and
  // the host's current target surface. n is below WorkBufferCount().
  virtual void SetRenderTarget(int target) = 0;
  virtual int WorkBufferCount() const = 0;
  // Serialises frames and presentation with device creation and release.
  virtual sys::CriticalSection& DeviceLock() = 0;
};

}  // namespace lv
