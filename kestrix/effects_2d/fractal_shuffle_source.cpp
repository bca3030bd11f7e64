#include "effects_2d/fractal_shuffle_source.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "angle_format.h"
#include "draw_states.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 135;
constexpr int kDialog = 194;

void FormatWrap(int32_t value, char* text, lv::Plug*, int32_t) {
  std::strcpy(text, value == 0 ? "Border" : value == 1 ? "Clamp" : value == 2 ? "Wrap" : "?");
}

const lv::ParamInfo kParams[FractalShuffleSource::kNumParams] = {
    {0, 200, 0, 0, lv::ChunkTag("FMOD"), "Modulus", nullptr},
    {0, 1439, 0, 1, lv::ChunkTag("ANGL"), "Angle", FormatQuarterDegrees},
    {-100, 100, 0, 0, lv::ChunkTag("SPED"), "Speed", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("ZOOM"), "Zoom", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("FADE"), "Fade", nullptr},
    {0, 2, 0, 0, lv::ChunkTag("WRAP"), "Wrap", FormatWrap},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, FractalShuffleSource::kStretch},       {1018, FractalShuffleSource::kEraseOnNoteOff},
    {1023, FractalShuffleSource::kResetEachNote}, {1020, FractalShuffleSource::kLooped},
    {1021, FractalShuffleSource::kMovingPattern},
};

// The "Wrap" knob; any other value clamps.
gfx::Address AddressFromKnob(int32_t wrap) {
  return wrap == 0 ? gfx::Address::Border : wrap == 2 ? gfx::Address::Wrap : gfx::Address::Clamp;
}

}  // namespace

const lv::ParamInfo* FractalShuffleSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool FractalShuffleSource::CreateDeviceObjects() {
  // The source is opened asking for a power-of-two texture.
  if (!OpenSourceAndDeclaration(kLooped, 1)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  if (!CompileShaders(kShader, "vs_main", "ps_shuffle", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  sourceUV_ = FindConstant(pixelShader_.constants, "SourceUV");
  tint_ = FindConstant(pixelShader_.constants, "Tint");
  shift_ = FindConstant(pixelShader_.constants, "Shift");
  zoom_ = FindConstant(pixelShader_.constants, "Zoom");
  return true;
}

void FractalShuffleSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool FractalShuffleSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes);
}

void FractalShuffleSource::NoteOn() {
  AttachSource(kResetEachNote);
  timeSinceNoteOn_ = 0;
  phase_ = 0;
  AdvanceSource(0);
}

void FractalShuffleSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void FractalShuffleSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (!AdvanceSource(milliseconds) || !vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr || target->height == 0) return;

  BindStage(device, 0, source_->GetTexture(), AddressFromKnob(params_[5]), gfx::Filter::Linear,
            gfx::Filter::Point);
  gfx::ConstantSink& constants = device->Constants();
  const float tint[4] = {1.0f, 1.0f, 1.0f, float(params_[4]) / 255.0f};
  pixelShader_.constants->SetVector(constants, tint_, tint);
  pixelShader_.constants->SetVector(constants, sourceUV_, source_->GetTexelOffset());

  float angle = float(params_[1]) * std::numbers::pi_v<float> / 720.0f;
  if ((options_ & kMovingPattern) != 0) {
    phase_ += float(int32_t(velocity) - 64) * float(params_[2]) * float(milliseconds) * 2.5e-6f;
    angle += phase_;
  }
  const float modulus = float(params_[0]) * 0.005f;
  const float shift[4] = {modulus * std::cos(angle), modulus * std::sin(angle), 0.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, shift_, shift);
  const float z = float(params_[3]) * 0.02f + 0.2f;
  const float zoom[4] = {z, 1.0f / z, 0.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, zoom_, zoom);
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);

  // Centred, square coordinates: -aspect .. +aspect across, -1 .. +1 down.
  const float aspect = float(target->width) / float(target->height);
  const float centred[4] = {-aspect, -1.0f, aspect, 1.0f};

  SetBlending(device, true);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  DrawQuad(device, half_, centred);
  EndFlatDraw(device);
}

}  // namespace kestrix
