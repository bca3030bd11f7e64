#pragma once
// The display set-up and the work buffers write the device, the current
// target and the texture rules straight into the host object, so every
// plug-in instance sees them through its host pointer.
#include <functional>

#include "display/display_host.h"
#include "host/lorvane_host.h"

namespace app {

class LorvaneDisplayHost final : public lv::DisplayHost {
 public:
  // `deviceChanged` hears every new device (or null) after a display switch.
  LorvaneDisplayHost(lv::LorvaneHost& host, std::function<void(gfx::Device*)> deviceChanged)
      : host_(host), deviceChanged_(std::move(deviceChanged)) {}

  void SetDevice(gfx::Device* device) override {
    host_.device.store(device);
    if (deviceChanged_) deviceChanged_(device);
  }
  gfx::Device* Device() override { return host_.device.load(); }
  void SetCurrentTarget(gfx::Surface* surface) override { host_.targetSurface.store(surface); }
  gfx::Surface* CurrentTarget() override { return host_.targetSurface.load(); }
  void SetTextureRules(bool nonPow2Supported, bool roundToNearestPow2) override {
    host_.nonPow2Supported.store(nonPow2Supported);
    host_.roundToNearestPow2.store(roundToNearestPow2);
  }
  void RefreshTargetDesc() override { host_.GetTargetDesc(&host_.targetDesc, true); }
  const gfx::SurfaceDesc& TargetDesc() override { return host_.targetDesc; }

 private:
  lv::LorvaneHost& host_;
  std::function<void(gfx::Device*)> deviceChanged_;
};

}  // namespace app
