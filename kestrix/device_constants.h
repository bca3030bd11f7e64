#pragma once
// Constant tables write into the device's constant registers through this.
#include "platform/gfx/constant_table.h"
#include "platform/gfx/device.h"

namespace kestrix {

class DeviceConstants final : public gfx::ConstantSink {
 public:
  explicit DeviceConstants(gfx::Device* device) : device_(device) {}
  void SetShaderConstantF(gfx::ShaderStage stage, int startRegister, const float* data, int count4) override;

 private:
  gfx::Device* device_;
};

}  // namespace kestrix
