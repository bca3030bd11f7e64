#include "effects_2d/smooth_source.h"

#include <algorithm>
#include <cmath>

#include "draw_states.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 126;
constexpr int kDialog = 187;

const lv::ParamInfo kParams[SmoothSource::kNumParams] = {
    {0, 16, 0, 0, lv::ChunkTag("XBLR"), "X Range", nullptr},
    {0, 16, 0, 0, lv::ChunkTag("YBLR"), "Y Range", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("PASS"), "Passes", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("SMIN"), "EnvMin", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("SMAX"), "EnvMax", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, SmoothSource::kStretch},
    {1018, SmoothSource::kEraseOnNoteOff},
    {1023, SmoothSource::kResetEachNote},
    {1020, SmoothSource::kLooped},
    {kit::audio_box::kVolumeVelocity, SmoothSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, SmoothSource::kPanFollowsVelocity},
    {1041, SmoothSource::kPulsingSmooth},
    {1042, SmoothSource::kVelocityStrength},
};

// Stands for an infinite slope when EnvMax equals EnvMin: differences above
// EnvMin then weigh nothing, without an infinity reaching the shader.
constexpr float kSteepestRange = 1.0e6f;

}  // namespace

const lv::ParamInfo* SmoothSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool SmoothSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  texelWidth_ = frame_.width > 0 ? 1.0f / float(frame_.width) : 0.0f;
  texelHeight_ = frame_.height > 0 ? 1.0f / float(frame_.height) : 0.0f;
  if (!CompileShaders(kShader, "vs_smooth", "ps_smooth", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  pixelSize_ = FindConstant(pixelShader_.constants, "PixelSize");
  smoothRange_ = FindConstant(pixelShader_.constants, "SmoothRange");
  return true;
}

void SmoothSource::ReleaseTargets() {
  surfaceA_ = {};
  surfaceB_ = {};
  textureA_ = {};
  textureB_ = {};
}

void SmoothSource::ReleaseEffectObjects() {
  ReleaseTargets();
  vertexShader_ = {};
  pixelShader_ = {};
}

bool SmoothSource::MakeTargets() {
  ReleaseTargets();
  lv::SourceInfo frame{};
  if (source_ == nullptr || !source_->GetInfo(&frame)) return false;
  uint32_t w = frame.width, h = frame.height;
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if ((options_ & kStretch) != 0 && target != nullptr) {
    w = std::min(w, target->width);
    h = std::min(h, target->height);
  }
  if (w == 0 || h == 0) return false;
  textureA_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(w, h, gfx::Format::Unknown, gfx::usage::RenderTarget, gfx::Pool::Default));
  textureB_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(w, h, gfx::Format::Unknown, gfx::usage::RenderTarget, gfx::Pool::Default));
  gfx::Surface* a = nullptr;
  gfx::Surface* b = nullptr;
  if (textureA_) textureA_->GetSurfaceLevel(0, &a);
  if (textureB_) textureB_->GetSurfaceLevel(0, &b);
  surfaceA_ = gfx::Ref<gfx::Surface>(a);
  surfaceB_ = gfx::Ref<gfx::Surface>(b);
  // A target that cannot be made leaves the note undrawn rather than drawing
  // through a null surface.
  if (!surfaceA_ || !surfaceB_) {
    ReleaseTargets();
    return false;
  }
  targetsWidth_ = w;
  targetsHeight_ = h;
  return true;
}

bool SmoothSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

void SmoothSource::NoteOn() {
  AttachSource(kResetEachNote);
  timeSinceNoteOn_ = 0;
  AdvanceSource(0);
  MakeTargets();
}

void SmoothSource::NoteOff() {
  EraseAndDetach(kEraseOnNoteOff);
  ReleaseTargets();
}

void SmoothSource::Pass(gfx::Device* device, gfx::Texture* from, gfx::Surface* into, float stepU, float stepV) {
  device->SetRenderTarget(0, into);
  device->SetTexture(0, from);
  const float pixelSize[4] = {stepU, stepV, 0.0f, 0.0f};
  pixelShader_.constants->SetVector(device->Constants(), pixelSize_, pixelSize);
  // The whole work target, texel for texel.
  const float rect[4] = {0.5f / float(targetsWidth_), 0.5f / float(targetsHeight_),
                         1.0f + 0.5f / float(targetsWidth_), 1.0f + 0.5f / float(targetsHeight_)};
  DrawQuad(device, {float(targetsWidth_) * 0.5f, float(targetsHeight_) * 0.5f}, rect);
}

void SmoothSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !vertexShader_ || !pixelShader_ || !surfaceA_) return;
  gfx::Device* device = host->GetDevice();
  gfx::Surface* current = host->GetBackBuffer();
  gfx::Texture* frame = source_->GetTexture();
  if (device == nullptr || current == nullptr || frame == nullptr) return;

  gfx::Surface* frameSurface = nullptr;
  if (gfx::Failed(frame->GetSurfaceLevel(0, &frameSurface))) return;
  const gfx::Ref<gfx::Surface> frameLevel(frameSurface);
  if (gfx::Failed(device->StretchRect(frameLevel.get(), nullptr, surfaceA_.get(), nullptr, gfx::Filter::Linear))) {
    return;
  }

  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Point));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Point));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);

  float stepU = texelWidth_, stepV = texelHeight_;
  const float v = float(velocity);
  if ((options_ & kPulsingSmooth) != 0) {
    const float k = (v / 16.0f) * std::sin(v * float(timeSinceNoteOn_) * 0.0001f);
    stepU *= k;
    stepV *= k;
  } else if ((options_ & kVelocityStrength) != 0) {
    stepU *= v / 16.0f;
    stepV *= v / 16.0f;
  } else {
    stepU *= float(params_[0]) / 4.0f;
    stepV *= float(params_[1]) / 4.0f;
  }

  gfx::ConstantSink& constants = device->Constants();
  const d3dx::Matrix projection = TargetProjection(targetsWidth_, targetsHeight_);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  const float envelope = float(params_[4] - params_[3]) / 255.0f;
  const float range[4] = {float(params_[3]) / 255.0f, envelope != 0.0f ? 1.0f / envelope : kSteepestRange, 0.0f,
                          0.0f};
  pixelShader_.constants->SetVector(constants, smoothRange_, range);

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  for (int32_t pass = 1; pass < params_[2]; ++pass) {
    Pass(device, textureA_.get(), surfaceB_.get(), stepU, 0.0f);
    Pass(device, textureB_.get(), surfaceA_.get(), 0.0f, stepV);
  }
  device->SetTexture(0, nullptr);
  device->SetRenderTarget(0, current);
  device->StretchRect(surfaceA_.get(), nullptr, current, nullptr, gfx::Filter::Linear);

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
