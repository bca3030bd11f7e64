#include "gl_device.h"

namespace gfx {

GlVertexShader::GlVertexShader(GlDevice* device, GlStageShader stage) : RefCounted(device), stage_(std::move(stage)) {}

GlVertexShader::~GlVertexShader() {
  DeviceScope scope(device_->Lock());
  device_->ForgetShader(stage_.id);
  glDeleteShader(stage_.shader);
}

GlPixelShader::GlPixelShader(GlDevice* device, GlStageShader stage) : RefCounted(device), stage_(std::move(stage)) {}

GlPixelShader::~GlPixelShader() {
  DeviceScope scope(device_->Lock());
  device_->ForgetShader(stage_.id);
  glDeleteShader(stage_.shader);
  for (GLuint variant : stage_.variants)
    if (variant) glDeleteShader(variant);
}

}  // namespace gfx
