#include "effects_2d/keyed_source_effect.h"

#include "platform/gfx/device.h"

namespace kestrix {

void KeyedSourceEffect::NoteOn() {
  if (source_ != nullptr && (options_ & kResetEachNote) != 0) source_->Restart();
  timeSinceNoteOn_ = 0;
  if (source_ != nullptr) source_->Attach(velocity);
  AdvanceSource(0);
}

bool KeyedSourceEffect::CreateObjects(uint32_t shaderId, const char* pixelEntry) {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, shaderId, "vs_main");
  pixelShader_ = CompilePixelShader(host, shaderId, pixelEntry);
  if (!vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  return true;
}

void KeyedSourceEffect::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool KeyedSourceEffect::BeginDraw(uint32_t milliseconds, gfx::Device** device, const gfx::SurfaceDesc** target) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !vertexShader_ || !pixelShader_) return false;
  *device = host->GetDevice();
  *target = host->GetBackBufferDesc();
  if (*device == nullptr || *target == nullptr) return false;
  gfx::Device* d = *device;
  d->SetTexture(0, source_->GetTexture());
  d->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  d->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  const gfx::Filter filter = (options_ & kStretch) != 0 && sizeDiffers_ ? gfx::Filter::Linear : gfx::Filter::Point;
  d->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(filter));
  d->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(filter));
  const d3dx::Matrix projection = TargetProjection((*target)->width, (*target)->height);
  vertexShader_.constants->SetMatrix(d->Constants(), matWVP_, &projection.m[0][0]);
  d->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  return true;
}

void KeyedSourceEffect::DrawSource(gfx::Device* device, const gfx::SurfaceDesc&, float z) {
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  DrawQuad(device, half_, source_->GetTexelOffset(), z);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTexture(0, nullptr);
}

}  // namespace kestrix
