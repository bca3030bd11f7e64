#include "effects_2d/keyed_source_effect.h"

#include "draw_states.h"
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
  if (!CompileShaders(shaderId, "vs_main", pixelEntry, vertexShader_, pixelShader_)) return false;
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
  BindStage(d, 0, source_->GetTexture(), gfx::Address::Clamp, SourceFilter((options_ & kStretch) != 0, sizeDiffers_));
  const d3dx::Matrix projection = TargetProjection((*target)->width, (*target)->height);
  vertexShader_.constants->SetMatrix(d->Constants(), matWVP_, &projection.m[0][0]);
  d->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  return true;
}

void KeyedSourceEffect::DrawSource(gfx::Device* device, const gfx::SurfaceDesc&, float z) {
  DrawQuadWith(device, declaration_.get(), vertexShader_.shader.get(), pixelShader_.shader.get(), half_,
               source_->GetTexelOffset(), z);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTexture(0, nullptr);
}

}  // namespace kestrix
