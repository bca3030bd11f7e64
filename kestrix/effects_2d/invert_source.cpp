#include "effects_2d/invert_source.h"

#include "draw_states.h"
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
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            SourceFilter((options_ & kStretch) != 0, sizeDiffers_));

  const bool brightnessOnly = (options_ & kInvertBrightness) != 0;
  const PixelShaderObjects& pixelShader = brightnessOnly ? invertBrightShader_ : invertShader_;
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  pixelShader.constants->SetFloat(constants, brightnessOnly ? invertBrightScale_ : invertScale_, amount_);

  SetBlending(device, true);
  // Unlike the other flat effects, Invert leaves depth writes on while it draws.
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  DrawQuadWith(device, declaration_.get(), vertexShader_.shader.get(), pixelShader.shader.get(), half_,
               source_->GetTexelOffset());
  EndFlatDraw(device);
}

}  // namespace kestrix
