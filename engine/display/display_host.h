#pragma once
// What the display set-up tells the host service object after every device
// change, and what the work buffers read back from it. The host object
// implements it; plug-ins then reach the device and the target through the
// host object alone.
#include "platform/gfx/device.h"

namespace lv {

class DisplayHost {
 public:
  virtual ~DisplayHost() = default;
  virtual void SetDevice(gfx::Device* device) = 0;
  virtual gfx::Device* Device() = 0;
  // The surface the current note draws into (the back buffer between notes).
  virtual void SetCurrentTarget(gfx::Surface* surface) = 0;
  virtual gfx::Surface* CurrentTarget() = 0;
  virtual void SetTextureRules(bool nonPow2Supported, bool roundToNearestPow2) = 0;
  // Re-reads the target description from the current target.
  virtual void RefreshTargetDesc() = 0;
  virtual const gfx::SurfaceDesc& TargetDesc() = 0;
};

}  // namespace lv
