#include "effects_2d/plasma_life.h"

#include "platform/d3dx/device_texture.h"
#include "platform/gfx/device.h"
#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 130;
constexpr uint32_t kNoiseBitmap = 138;
// The settings are those of Smooth Source's dialog, whose other check boxes
// this class leaves alone.
constexpr int kDialog = 187;
constexpr float kStep = 1.0f / PlasmaLife::kFieldSize;
constexpr float kFieldRect[4] = {0.5f * kStep, 0.5f * kStep, 1 + 0.5f * kStep, 1 + 0.5f * kStep};
// The seed holds the source's red and green this many times over.
constexpr float kSeedScale = 8.0f;

const lv::ParamInfo kParams[] = {
    {0, 512, 0, 0, lv::ChunkTag("PRMA"), "A", nullptr},
    {0, 512, 0, 0, lv::ChunkTag("PRMB"), "B", nullptr},
    {0, 1024, 0, 0, lv::ChunkTag("BETA"), "Beta", nullptr},
    {0, 512, 0, 0, lv::ChunkTag("SCAL"), "Scale", nullptr},
    {0, 512, 0, 0, lv::ChunkTag("DRSC"), "DrawScale", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, PlasmaLife::kStretch},
    {1018, PlasmaLife::kEraseOnNoteOff},
    {1023, PlasmaLife::kResetEachNote},
    {1020, PlasmaLife::kLooped},
    {kit::audio_box::kVolumeVelocity, PlasmaLife::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, PlasmaLife::kPanFollowsVelocity},
};

void SetPointWrap(gfx::Device* device, uint32_t stage) {
  device->SetSamplerState(stage, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Wrap));
  device->SetSamplerState(stage, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Wrap));
  device->SetSamplerState(stage, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Point));
  device->SetSamplerState(stage, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Point));
}

}  // namespace

const lv::ParamInfo* PlasmaLife::GetParamInfo(int32_t i) { return &kParams[i]; }

bool PlasmaLife::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  gfx::Device* device = host->GetDevice();
  const sys::Resource noise = sys::FindResource(sys::kResourceBitmap, kNoiseBitmap);
  gfx::Texture* texture = nullptr;
  if (noise && gfx::Succeeded(d3dx::CreateTextureFromFileInMemory(device, noise.data, noise.size, &texture))) {
    noise_ = gfx::Ref<gfx::Texture>(texture);
  }
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  lifeShader_ = CompilePixelShader(host, kShader, "ps_plasmalife");
  showShader_ = CompilePixelShader(host, kShader, "ps_plasmashow");
  if (!noise_ || !vertexShader_ || !lifeShader_ || !showShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  pixelSize_ = FindConstant(lifeShader_.constants, "PixelSize");
  diffusion_ = FindConstant(lifeShader_.constants, "Diffusion");
  drawScale_ = FindConstant(showShader_.constants, "DrawScale");
  return true;
}

void PlasmaLife::ReleaseEffectObjects() {
  ReleaseFields();
  noise_ = {};
  vertexShader_ = {};
  lifeShader_ = {};
  showShader_ = {};
}

void PlasmaLife::ReleaseFields() {
  surfaceA_ = {};
  surfaceB_ = {};
  fieldA_ = {};
  fieldB_ = {};
}

bool PlasmaLife::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

bool PlasmaLife::MakeFields() {
  ReleaseFields();
  gfx::Device* device = host->GetDevice();
  fieldA_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(kFieldSize, kFieldSize, gfx::Format::G32R32F, gfx::usage::RenderTarget, gfx::Pool::Default));
  fieldB_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(kFieldSize, kFieldSize, gfx::Format::G32R32F, gfx::usage::RenderTarget, gfx::Pool::Default));
  gfx::Surface* a = nullptr;
  gfx::Surface* b = nullptr;
  if (fieldA_ && gfx::Succeeded(fieldA_->GetSurfaceLevel(0, &a))) surfaceA_ = gfx::Ref<gfx::Surface>(a);
  if (fieldB_ && gfx::Succeeded(fieldB_->GetSurfaceLevel(0, &b))) surfaceB_ = gfx::Ref<gfx::Surface>(b);
  // A device without float targets shows nothing rather than failing later.
  if (device == nullptr || !surfaceA_ || !surfaceB_) {
    ReleaseFields();
    return false;
  }
  // New targets hold whatever was there: start both fields at zero, as the
  // seed may not reach every texel.
  for (gfx::Surface* field : {surfaceA_.get(), surfaceB_.get()}) {
    device->SetRenderTarget(0, field);
    device->Clear(0, nullptr, gfx::clear::Target, 0, 1.0f, 0);
  }
  device->SetRenderTarget(0, host->GetBackBuffer());
  return true;
}

void PlasmaLife::SetUp(gfx::Device* device) {
  SetPointWrap(device, 0);
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  vertexShader_.constants->SetMatrix(device->Constants(), matWVP_, &projection.m[0][0]);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
}

void PlasmaLife::Restore(gfx::Device* device) {
  device->SetRenderTarget(0, host->GetBackBuffer());
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetTexture(0, nullptr);
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Point));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Point));
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

void PlasmaLife::DrawInto(gfx::Device* device, gfx::Surface* target, gfx::Texture* from) {
  device->SetRenderTarget(0, target);
  device->SetTexture(0, from);
  DrawQuad(device, half_, kFieldRect);
}

void PlasmaLife::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
  if (source_ == nullptr || !vertexShader_ || !MakeFields()) return;
  source_->GetInfo(&frame_);
  gfx::Device* device = host->GetDevice();
  SetUp(device);
  const float seedScale[4] = {kSeedScale, kSeedScale, kSeedScale, kSeedScale};
  showShader_.constants->SetVector(device->Constants(), drawScale_, seedScale);
  device->SetPixelShader(showShader_.shader.get());
  DrawInto(device, surfaceA_.get(), source_->GetTexture());
  Restore(device);
}

void PlasmaLife::NoteOff() {
  EraseAndDetach(kEraseOnNoteOff);
  ReleaseFields();
}

void PlasmaLife::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !fieldA_ || !vertexShader_) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  SetUp(device);
  gfx::ConstantSink& constants = device->Constants();
  const float diffusion[4] = {float(params_[kA]) / 255, float(params_[kB]) / 255, float(params_[kBeta]) / 255,
                              float(params_[kScale]) / 255};
  const float pixelSize[4] = {kStep, kStep, 0, 0};
  lifeShader_.constants->SetVector(constants, diffusion_, diffusion);
  lifeShader_.constants->SetVector(constants, pixelSize_, pixelSize);
  device->SetPixelShader(lifeShader_.shader.get());
  // Two steps: A to B without the noise, then B back to A with it.
  DrawInto(device, surfaceB_.get(), fieldA_.get());
  device->SetTexture(1, noise_.get());
  SetPointWrap(device, 1);
  DrawInto(device, surfaceA_.get(), fieldB_.get());
  device->SetTexture(1, nullptr);

  const float drawScale[4] = {float(params_[kDrawScale]) / 255, 0, 0, 0};
  showShader_.constants->SetVector(constants, drawScale_, drawScale);
  device->SetPixelShader(showShader_.shader.get());
  DrawInto(device, host->GetBackBuffer(), fieldA_.get());
  Restore(device);
}

}  // namespace kestrix
