#include "device_constants.h"

namespace kestrix {

void DeviceConstants::SetShaderConstantF(gfx::ShaderStage stage, int startRegister, const float* data, int count4) {
  if (device_ == nullptr || startRegister < 0 || count4 <= 0) return;
  if (stage == gfx::ShaderStage::Vertex) {
    device_->SetVertexShaderConstantF(uint32_t(startRegister), data, uint32_t(count4));
  } else {
    device_->SetPixelShaderConstantF(uint32_t(startRegister), data, uint32_t(count4));
  }
}

}  // namespace kestrix
