#include "effects_2d/box_blur_effect.h"

#include <algorithm>

#include "platform/gfx/device.h"
#include "platform/window/kit/erase_on_note_off.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 108;

}  // namespace

bool BoxBlurEffect::CreateObjects(const std::array<std::array<const char*, 2>, 4>& entries) {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  inverseWidth_ = 1.0f / float(std::max<uint32_t>(frame_.width, 1));
  inverseHeight_ = 1.0f / float(std::max<uint32_t>(frame_.height, 1));
  half_ = HalfExtentsFor(kStretch);
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i][0] == nullptr) continue;
    Pass& pass = passes_[i];
    pass.vertex = CompileVertexShader(host, kShader, entries[i][0]);
    pass.pixel = CompilePixelShader(host, kShader, entries[i][1]);
    if (!pass) {
      ReleaseDeviceObjects();
      return false;
    }
    pass.matWVP = FindConstant(pass.vertex.constants, "matWVP");
    pass.color = FindConstant(pass.vertex.constants, "Color");
    pass.pixelSize = FindConstant(pass.vertex.constants, "PixelSize");
    pass.keyColor = FindConstant(pass.pixel.constants, "KeyColor");
    pass.keyDist = FindConstant(pass.pixel.constants, "KeyDist");
  }
  return true;
}

void BoxBlurEffect::ReleaseTargets() {
  for (auto& s : surfaces_) s = {};
  for (auto& t : targets_) t = {};
}

void BoxBlurEffect::ReleaseEffectObjects() {
  ReleaseTargets();
  for (Pass& pass : passes_) pass = {};
}

void BoxBlurEffect::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
  ReleaseTargets();
  if (source_ == nullptr || !source_->GetInfo(&frame_)) return;
  TargetSize(frame_.width, frame_.height, &renderWidth_, &renderHeight_);
  // Without both targets the note draws nothing.
  for (size_t i = 0; i < 2; ++i) {
    targets_[i] = gfx::Ref<gfx::Texture>(
        host->CreateTexture(renderWidth_, renderHeight_, gfx::Format::Unknown, gfx::usage::RenderTarget,
                            gfx::Pool::Default));
    gfx::Surface* surface = nullptr;
    if (targets_[i]) targets_[i]->GetSurfaceLevel(0, &surface);
    surfaces_[i] = gfx::Ref<gfx::Surface>(surface);
    if (!surfaces_[i]) {
      ReleaseTargets();
      return;
    }
  }
}

void BoxBlurEffect::NoteOff() {
  kit::EraseOnNoteOff(host, (options_ & kEraseOnNoteOff) != 0, source_);
  ReleaseTargets();
}

bool BoxBlurEffect::BeginPasses(uint32_t milliseconds, gfx::Device** device) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !surfaces_[0] || !surfaces_[1] || !passes_[kHorizontal]) return false;
  *device = host->GetDevice();
  if (*device == nullptr || host->GetBackBufferDesc() == nullptr || host->GetBackBuffer() == nullptr) return false;
  gfx::Device* d = *device;
  d->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  d->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  d->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  d->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  d->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  d->SetRenderState(gfx::RenderState::ZEnable, 0);
  d->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  d->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  d->SetVertexDeclaration(declaration_.get());
  return true;
}

void BoxBlurEffect::DrawPass(gfx::Device* device, PassIndex index, int from, int into, const float pixelSize[2],
                             const float color[4]) {
  const Pass& pass = passes_[size_t(index)];
  if (!pass) return;
  gfx::Surface* target = into < 0 ? host->GetBackBuffer() : surfaces_[size_t(into)].get();
  device->SetRenderTarget(0, target);
  const gfx::SurfaceDesc* screen = host->GetBackBufferDesc();
  // The passes between the two textures fill them, so every pass keeps the
  // whole picture; only the last one is placed on the target like the source.
  const bool final = into < 0;
  const d3dx::Matrix projection = final ? TargetProjection(screen->width, screen->height)
                                        : TargetProjection(renderWidth_, renderHeight_);
  const HalfExtents half = final ? half_ : HalfExtents{float(renderWidth_) * 0.5f, float(renderHeight_) * 0.5f};
  // A render target is read with half a pixel of what it is drawn onto, so
  // its texels land where they belong whatever the change of size.
  const float du = 0.5f / std::max(2.0f * half.width, 1.0f), dv = 0.5f / std::max(2.0f * half.height, 1.0f);
  const float renderRect[4] = {du, dv, 1.0f + du, 1.0f + dv};
  const float* rect = from < 0 ? source_->GetTexelOffset() : renderRect;
  device->SetTexture(0, from < 0 ? source_->GetTexture()
                                 : targets_[size_t(from)].get());

  gfx::ConstantSink& constants = device->Constants();
  const float size4[4] = {pixelSize[0], pixelSize[1], 0, 0};
  pass.vertex.constants->SetMatrix(constants, pass.matWVP, &projection.m[0][0]);
  pass.vertex.constants->SetVector(constants, pass.color, color);
  pass.vertex.constants->SetVector(constants, pass.pixelSize, size4);
  device->SetVertexShader(pass.vertex.shader.get());
  device->SetPixelShader(pass.pixel.shader.get());
  DrawQuad(device, half, rect);
}

void BoxBlurEffect::EndPasses(gfx::Device* device) {
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTexture(0, nullptr);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
}

}  // namespace kestrix
