#include "effects_2d/solarize_source.h"

#include <algorithm>

#include "draw_states.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 129;
constexpr int kDialog = 189;

const lv::ParamInfo kParams[SolarizeSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 10, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-255, 255, 0, 0, lv::ChunkTag("BRED"), "Bias Red", nullptr},
    {-255, 255, 0, 0, lv::ChunkTag("BGRN"), "Bias Grn", nullptr},
    {-255, 255, 0, 0, lv::ChunkTag("BBLU"), "Bias Blue", nullptr},
    {2, 64, 8, 0, lv::ChunkTag("STEP"), "Steps", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, SolarizeSource::kStretch},       {1016, SolarizeSource::kTransparentKey},
    {1018, SolarizeSource::kEraseOnNoteOff}, {1023, SolarizeSource::kResetEachNote},
    {1020, SolarizeSource::kLooped},
};

}  // namespace

const lv::ParamInfo* SolarizeSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool SolarizeSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentKey) != 0;
  pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_colorkey" : "ps_passthrough");
  if (!vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  bias_ = FindConstant(pixelShader_.constants, "Bias");
  steps_ = FindConstant(pixelShader_.constants, "Steps");
  return true;
}

void SolarizeSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool SolarizeSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void SolarizeSource::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void SolarizeSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void SolarizeSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            SourceFilter((options_ & kStretch) != 0, sizeDiffers_));
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);

  const bool keyed = (options_ & kTransparentKey) != 0;
  if (keyed) {
    const ColorKey key = KeyFromKnobs(params_);
    pixelShader_.constants->SetVector(constants, keyColor_, key.color);
    pixelShader_.constants->SetFloat(constants, keyDist_, key.distance);
  }
  const float bias[4] = {float(params_[4]) / 255.0f, float(params_[5]) / 255.0f, float(params_[6]) / 255.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, bias_, bias);
  // A saved Steps below 2 would divide by zero: two levels is the least.
  const float intervals = float(std::max(params_[7], 2) - 1);
  const float steps[4] = {intervals, 1.0f / intervals, 0.0f, 0.0f};
  pixelShader_.constants->SetVector(constants, steps_, steps);

  SetBlending(device, keyed);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  DrawQuad(device, half_, source_->GetTexelOffset());
  EndFlatDraw(device);
}

}  // namespace kestrix
