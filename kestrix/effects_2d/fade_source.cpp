#include "effects_2d/fade_source.h"

#include <algorithm>

#include "draw_states.h"
#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 119;
constexpr int kDialog = 173;
constexpr int kFromEdit = 1001, kToEdit = 1002, kFromSpin = 1003, kToSpin = 1004;
constexpr uint32_t kFromTag = lv::ChunkTag("FFRM");
constexpr uint32_t kToTag = lv::ChunkTag("FTO ");

const lv::ParamInfo kParams[] = {
    {0, 127, 64, 0, lv::ChunkTag("VELO"), "Velocity", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1018, FadeSource::kEraseOnNoteOff},
    {1016, FadeSource::kTransparentBlack},
    {1023, FadeSource::kResetEachNote},
    {1020, FadeSource::kLooped},
    {kit::audio_box::kVolumeVelocity, FadeSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, FadeSource::kPanFollowsVelocity},
    {1015, FadeSource::kStretch},
    {1000, FadeSource::kVelocityFadeTime},
    {1024, FadeSource::kAdditive},
    {1005, FadeSource::kOverrideVelocity},
};

constexpr float kKeyColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kKeyDistance = 0.02f;
constexpr uint32_t kFixedFadeSteps = 30;

}  // namespace

// The "Fade Envelope" box: the two percentages.
class FadeSource::Extras final : public kit::SettingsDialogExtras {
 public:
  explicit Extras(FadeSource& fade) : fade_(fade) {}
  void Init(window::Dialog& dialog) override {
    dialog.SetRange(kFromSpin, 0, 100);
    dialog.SetRange(kToSpin, 0, 100);
    dialog.SetItemInt(kFromEdit, fade_.fromPercent_);
    dialog.SetItemInt(kToEdit, fade_.toPercent_);
    dialog.SetPosition(kFromSpin, fade_.fromPercent_);
    dialog.SetPosition(kToSpin, fade_.toPercent_);
  }
  void Apply(window::Dialog& dialog) override {
    fade_.fromPercent_ = uint8_t(kit::DialogReadInt(dialog, kFromEdit, 0, 100));
    fade_.toPercent_ = uint8_t(kit::DialogReadInt(dialog, kToEdit, 0, 100));
  }

 private:
  FadeSource& fade_;
};

const lv::ParamInfo* FadeSource::GetParamInfo(int32_t) { return &kParams[0]; }

float FadeSource::Opacity(uint8_t fromPercent, uint8_t toPercent, uint32_t elapsed, uint32_t duration) {
  const float from = float(fromPercent) * 0.01f, to = float(toPercent) * 0.01f;
  if (elapsed >= duration) return to;
  return from + (to - from) * float(elapsed) / float(duration);
}

bool FadeSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, &sourceName_},
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   if (s.BytesLeft() < 1) return;
                                   if (tag == kFromTag) s.ReadChunkData(&fromPercent_, 1);
                                   if (tag == kToTag) s.ReadChunkData(&toPercent_, 1);
                                 });
}

bool FadeSource::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, nullptr, nullptr, &sourceName_}, [this](lv::ChunkStream& s) {
    return s.WriteChunk(kFromTag, &fromPercent_, 1) && s.WriteChunk(kToTag, &toPercent_, 1);
  });
}

bool FadeSource::CreateDeviceObjects() {
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

void FadeSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool FadeSource::Configure(lv::WindowHandle owner) {
  Extras extras(*this);
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_, &extras);
}

void FadeSource::NoteOn() {
  AttachSource(kResetEachNote);
  // The source keeps the note's own velocity; only the fade time follows the knob.
  if ((options_ & kOverrideVelocity) != 0) velocity = uint8_t(std::clamp(velocityParam_, 0, 127));
  AdvanceSource(0);
  const uint32_t steps = (options_ & kVelocityFadeTime) != 0 ? 127u - std::min<uint32_t>(velocity, 127) : kFixedFadeSteps;
  duration_ = steps * steps;
  elapsed_ = 0;
}

void FadeSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void FadeSource::Render(uint32_t milliseconds) {
  if (!AdvanceSource(milliseconds) || !vertexShader_ || !pixelShader_) return;
  elapsed_ += milliseconds;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;

  const float alpha = Opacity(fromPercent_, toPercent_, elapsed_, duration_);
  const bool additive = (options_ & kAdditive) != 0;
  const float color[4] = {additive ? alpha : 1.0f, additive ? alpha : 1.0f, additive ? alpha : 1.0f, alpha};

  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, color);
  if ((options_ & kTransparentBlack) != 0) {
    pixelShader_.constants->SetVector(constants, keyColor_, kKeyColor);
    pixelShader_.constants->SetFloat(constants, keyDist_, kKeyDistance);
  }

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Linear);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(additive ? gfx::Blend::One : gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(additive ? gfx::Blend::One : gfx::Blend::InvSrcAlpha));
  BeginFlatDraw(device);
  DrawQuadWith(device, declaration_.get(), vertexShader_.shader.get(), pixelShader_.shader.get(), half_,
               source_->GetTexelOffset());
  EndFlatDraw(device);
  // Additive drawing changed both factors: put back the ones the frame loop expects.
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
}

}  // namespace kestrix
