#include "effects_2d/outline_source.h"

#include "draw_states.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 127;
constexpr int kDialog = 188;

const lv::ParamInfo kParams[OutlineSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("CRED"), "Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("CGRN"), "Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("CBLU"), "Blue", nullptr},
    {1, 32, 2, 0, lv::ChunkTag("PIXD"), "PixDist", nullptr},
    {0, 500, 10, 0, lv::ChunkTag("TRSH"), "Thresh", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, OutlineSource::kStretch},
    {1018, OutlineSource::kEraseOnNoteOff},
    {1023, OutlineSource::kResetEachNote},
    {1020, OutlineSource::kLooped},
};

}  // namespace

const lv::ParamInfo* OutlineSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool OutlineSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  texelWidth_ = frame_.width > 0 ? 1.0f / float(frame_.width) : 0.0f;
  texelHeight_ = frame_.height > 0 ? 1.0f / float(frame_.height) : 0.0f;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  if (!CompileShaders(kShader, "vs_main", "ps_main", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  pixDist_ = FindConstant(vertexShader_.constants, "PixDist");
  colThresh_ = FindConstant(pixelShader_.constants, "ColThresh");
  return true;
}

void OutlineSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool OutlineSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void OutlineSource::NoteOn() {
  AttachSource(kResetEachNote);
  timeSinceNoteOn_ = 0;
  AdvanceSource(0);
}

void OutlineSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void OutlineSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            SourceFilter((options_ & kStretch) != 0, sizeDiffers_));
  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  const float distance[4] = {float(params_[3]) * texelWidth_, float(params_[3]) * texelHeight_, 0.0f, 0.0f};
  vertexShader_.constants->SetVector(constants, pixDist_, distance);
  const float colThresh[4] = {float(params_[0]) / 255.0f, float(params_[1]) / 255.0f, float(params_[2]) / 255.0f,
                              float(params_[4]) * 0.005f};
  pixelShader_.constants->SetVector(constants, colThresh_, colThresh);

  SetBlending(device, false);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  DrawQuad(device, half_, source_->GetTexelOffset());
  EndFlatDraw(device);
}

}  // namespace kestrix
