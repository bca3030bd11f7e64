#include "effects_2d/tile_source.h"

#include <cmath>
#include <numbers>

#include "angle_format.h"
#include "draw_states.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 146;
constexpr int kDialog = 198;

const lv::ParamInfo kParams[TileSource::kNumParams] = {
    {0, 1439, 0, 1, lv::ChunkTag("ANGL"), "Angle", FormatQuarterDegrees},
    {-100, 100, 0, 0, lv::ChunkTag("SPDR"), "Rot Spd", nullptr},
    {0, 250, 0, 0, lv::ChunkTag("ZOOM"), "Zoom", nullptr},
    {-100, 100, 0, 0, lv::ChunkTag("SPDZ"), "Zoom Spd", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("FADE"), "Fade", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, TileSource::kStretch},          {1018, TileSource::kEraseOnNoteOff},
    {1023, TileSource::kResetEachNote},    {1020, TileSource::kLooped},
    {1048, TileSource::kConstantRotation}, {1022, TileSource::kConstantZoom},
};

constexpr float kPi = std::numbers::pi_v<float>;

}  // namespace

const lv::ParamInfo* TileSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool TileSource::IsParamEnabled(int32_t i) {
  if (i == 1) return (options_ & kConstantRotation) != 0;
  if (i == 3) return (options_ & kConstantZoom) != 0;
  return true;
}

bool TileSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  half_ = HalfExtentsFor(kStretch);
  if (!CompileShaders(kShader, "vs_main", "ps_passthrough", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  rotZoom_ = FindConstant(vertexShader_.constants, "RotZoom");
  tint_ = FindConstant(pixelShader_.constants, "Tint");
  return true;
}

void TileSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool TileSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void TileSource::NoteOn() {
  AttachSource(kResetEachNote);
  timeSinceNoteOn_ = 0;
  rotationPhase_ = 0;
  zoomPhase_ = 0;
  AdvanceSource(0);
}

void TileSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void TileSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr || frame_.width == 0 || frame_.height == 0) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Wrap, gfx::Filter::Linear);
  gfx::ConstantSink& constants = device->Constants();
  const float tint[4] = {1.0f, 1.0f, 1.0f, float(params_[4]) / 255.0f};
  pixelShader_.constants->SetVector(constants, tint_, tint);

  float angle = float(params_[0]) * kPi / 720.0f;
  float zoom = float(params_[2]) * 0.02f;
  const float speed = float(int32_t(velocity) - 64) * float(milliseconds) * 1.25e-6f;
  if ((options_ & kConstantRotation) != 0) {
    rotationPhase_ += speed * float(params_[1]);
    angle += rotationPhase_;
  }
  if ((options_ & kConstantZoom) != 0) {
    zoomPhase_ += speed * float(params_[3]);
    zoom *= (std::cos(zoomPhase_ + kPi) + 1.0f) * 0.5f;
  }
  const float rotZoom[4] = {angle, std::exp2(zoom), 0.0f, 0.0f};
  vertexShader_.constants->SetVector(constants, rotZoom_, rotZoom);
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);

  // Coordinates centred on 0; the vertex shader turns and scales them.
  const float du = 0.5f / float(frame_.width), dv = 0.5f / float(frame_.height);
  const float centred[4] = {du - 0.5f, dv + 0.5f, du + 0.5f, dv - 0.5f};

  SetBlending(device, true);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  DrawQuad(device, half_, centred);
  EndFlatDraw(device);
}

}  // namespace kestrix
