#pragma once
// The frame loop's device: frames and presentation on the D3D object, and
// render targets chosen among the back buffer and the work buffers. Every
// target switch also becomes the host object's current target, so a patch
// draws where its note aims.
#include "display/d3d.h"
#include "performer/frame_device.h"

namespace lv {

class DisplayHost;
class WorkBufferTable;

class DisplayFrameDevice final : public FrameDevice {
 public:
  DisplayFrameDevice(D3D& d3d, WorkBufferTable& workBuffers, DisplayHost& host)
      : d3d_(d3d), workBuffers_(workBuffers), host_(host) {}

  void BeginFrame() override { d3d_.BeginFrame(); }
  void EndScene() override { d3d_.EndScene(); }
  void Present() override { d3d_.Present(); }
  // A work buffer that is absent (never made, or its texture failed) gives
  // the back buffer.
  void SetRenderTarget(int target) override;
  int WorkBufferCount() const override;
  sys::CriticalSection& DeviceLock() override { return d3d_.DeviceLock(); }

 private:
  D3D& d3d_;
  WorkBufferTable& workBuffers_;
  DisplayHost& host_;
};

}  // namespace lv
