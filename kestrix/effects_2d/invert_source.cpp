#include "effects_2d/invert_source.h"

#include "platform/gfx/device.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 110;
constexpr int kDialog = 182;

const lv::ParamInfo kParams[] = {
    {0, 128, 0, 0, lv::ChunkTag("IPCT"), "Inv Amt", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, InvertSource::kStretch},
    {1018, InvertSource::kEraseOnNoteOff},
    {1023, InvertSource::kResetEachNote},
    {1020, InvertSource::kLooped},
    {1035, InvertSource::kInvertBrightness},
};

}  // namespace

const lv::ParamInfo* InvertSource::GetParamInfo(int32_t) { return &kParams[0]; }

bool InvertSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  invertBrightShader_ = CompilePixelShader(host, kShader, "ps_invertbright");
  invertShader_ = CompilePixelShader(host, kShader, "ps_invert");
  if (!vertexShader_ || !invertBrightShader_ || !invertShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  invertScale_ = FindConstant(invertShader_.constants, "InvertScale");
  invertBrightScale_ = FindConstant(invertBrightShader_.constants, "InvertScale");
  return true;
}

void InvertSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  invertShader_ = {};
  invertBrightShader_ = {};
}

bool InvertSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void InvertSource::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void InvertSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void InvertSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !vertexShader_) return;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;

  device->SetTexture(0, source_->GetTexture());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  // A frame shown at its own size maps texel to pixel: no filtering needed.
  const gfx::Filter filter = (options_ & kStretch) != 0 && sizeDiffers_ ? gfx::Filter::Linear : gfx::Filter::Point;
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(filter));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(filter));

  const bool brightnessOnly = (options_ & kInvertBrightness) != 0;
  const PixelShaderObjects& pixelShader = brightnessOnly ? invertBrightShader_ : invertShader_;
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  pixelShader.constants->SetFloat(constants, brightnessOnly ? invertBrightScale_ : invertScale_, amount_);

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader.shader.get());
  DrawQuad(device, half_, source_->GetTexelOffset());

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTexture(0, nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
