#include "effects_2d/brighten_dim_source.h"

#include "draw_states.h"
#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 106;
constexpr int kDialog = 115;

const lv::ParamInfo kParams[] = {
    {0, 200, 0, 0, lv::ChunkTag("BRIT"), "Bright", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, BrightenDimSource::kStretch},
    {1016, BrightenDimSource::kTransparentBlack},
    {1018, BrightenDimSource::kEraseOnNoteOff},
    {1023, BrightenDimSource::kResetEachNote},
    {1020, BrightenDimSource::kLooped},
    {kit::audio_box::kVolumeVelocity, BrightenDimSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, BrightenDimSource::kPanFollowsVelocity},
    {1045, BrightenDimSource::kVelocityBrightness},
};

// Texels this close to black are keyed out with "Transparent Black".
constexpr float kKeyColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kKeyDistance = 0.02f;

}  // namespace

float BrightenDimSource::BrightnessFromKnob(int32_t bright) {
  if (bright > 100) return 0.25f + 0.75f * float(bright - 100) * 0.01f;
  return float(bright) * 0.0025f;
}

float BrightenDimSource::BrightnessFromVelocity(uint8_t velocity) {
  if (velocity > 64) return 0.25f + 0.75f * float(velocity - 64) / 63.0f;
  return float(velocity) / 256.0f;
}

const lv::ParamInfo* BrightenDimSource::GetParamInfo(int32_t) { return &kParams[0]; }

bool BrightenDimSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentBlack) != 0;
  pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_colorkey" : "ps_passthrough");
  if (!vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

void BrightenDimSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool BrightenDimSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

void BrightenDimSource::NoteOn() {
  AttachSource(kResetEachNote);
  if ((options_ & kVelocityBrightness) != 0) SetBrightness(BrightnessFromVelocity(velocity));
  AdvanceSource(0);
}

void BrightenDimSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void BrightenDimSource::Render(uint32_t milliseconds) {
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;
  if ((options_ & kVelocityBrightness) == 0) SetBrightness(BrightnessFromKnob(bright_));

  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, color_);

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Linear);

  const bool keyed = (options_ & kTransparentBlack) != 0;
  if (keyed) {
    pixelShader_.constants->SetVector(constants, keyColor_, kKeyColor);
    pixelShader_.constants->SetFloat(constants, keyDist_, kKeyDistance);
  }
  SetBlending(device, keyed);
  BeginFlatDraw(device);
  DrawQuadWith(device, declaration_.get(), vertexShader_.shader.get(), pixelShader_.shader.get(), half_,
               source_->GetTexelOffset());
  EndFlatDraw(device);
}

}  // namespace kestrix
