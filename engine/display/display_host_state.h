#pragma once
// The display facts the host object keeps as plain values: the device, the
// current target and its description, and the texture-size rules.
#include <atomic>

#include "display/display_host.h"

namespace lv {

class DisplayHostState final : public DisplayHost {
 public:
  void SetDevice(gfx::Device* device) override { device_.store(device); }
  gfx::Device* Device() override { return device_.load(); }
  void SetCurrentTarget(gfx::Surface* surface) override { target_.store(surface); }
  gfx::Surface* CurrentTarget() override { return target_.load(); }
  void SetTextureRules(bool nonPow2Supported, bool roundToNearestPow2) override {
    nonPow2Supported_ = nonPow2Supported;
    roundToNearestPow2_ = roundToNearestPow2;
  }
  void RefreshTargetDesc() override {
    gfx::SurfaceDesc desc;
    if (gfx::Surface* target = target_.load(); target != nullptr && gfx::Succeeded(target->GetDesc(&desc)))
      targetDesc_ = desc;
  }
  const gfx::SurfaceDesc& TargetDesc() override { return targetDesc_; }

  bool NonPow2Supported() const { return nonPow2Supported_; }
  bool RoundToNearestPow2() const { return roundToNearestPow2_; }

 private:
  std::atomic<gfx::Device*> device_{nullptr};
  std::atomic<gfx::Surface*> target_{nullptr};
  gfx::SurfaceDesc targetDesc_;
  bool nonPow2Supported_ = true;
  bool roundToNearestPow2_ = true;
};

}  // namespace lv
