#include "effects_2d/radial_blur_source.h"

#include <algorithm>
#include <cstring>

#include "draw_states.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 119;
constexpr int kDialog = 191;

void FormatAlphaMode(int32_t value, char* text, lv::Plug*, int32_t) {
  std::strcpy(text, value == 0 ? "Blend" : value == 1 ? "Add" : "?");
}

const lv::ParamInfo kParams[RadialBlurSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 3, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-200, 200, 0, 0, lv::ChunkTag("CNTX"), "Center X", nullptr},
    {-200, 200, 0, 0, lv::ChunkTag("CNTY"), "Center Y", nullptr},
    {-100, 100, 25, 0, lv::ChunkTag("BLUR"), "Blur Dist", nullptr},
    {1, 32, 8, 0, lv::ChunkTag("PASS"), "Blur Passes", nullptr},
    {0, 100, 25, 0, lv::ChunkTag("ALPS"), "Alpha Start", nullptr},
    {0, 100, 0, 0, lv::ChunkTag("ALPE"), "Alpha End", nullptr},
    {0, 1, 0, 0, lv::ChunkTag("AMOD"), "Alpha Mode", FormatAlphaMode},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, RadialBlurSource::kStretch},          {1016, RadialBlurSource::kTransparentKey},
    {1018, RadialBlurSource::kEraseOnNoteOff},   {1023, RadialBlurSource::kResetEachNote},
    {1020, RadialBlurSource::kLooped},           {1021, RadialBlurSource::kSourceUnderBlur},
    {1022, RadialBlurSource::kBrightnessStreaks}, {1048, RadialBlurSource::kRespondToAudio},
};

// The source quad scaled by `grow` about the centre and moved by (dx, dy).
void DrawCopy(gfx::Device* device, HalfExtents half, const float* rect, float grow, float dx, float dy) {
  const float w = half.width * grow, h = half.height * grow;
  const QuadVertex vertices[4] = {
      {dx - w, dy + h, 1.0f, rect[0], rect[1]},
      {dx + w, dy + h, 1.0f, rect[2], rect[1]},
      {dx + w, dy - h, 1.0f, rect[2], rect[3]},
      {dx - w, dy - h, 1.0f, rect[0], rect[3]},
  };
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(QuadVertex));
}

}  // namespace

const lv::ParamInfo* RadialBlurSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool RadialBlurSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentKey) != 0;
  const char* entry = (options_ & kBrightnessStreaks) != 0 ? (keyed ? "ps_screen_colorkey" : "ps_screen")
                                                            : (keyed ? "ps_colorkey" : "ps_passthrough");
  pixelShader_ = CompilePixelShader(host, kShader, entry);
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

void RadialBlurSource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool RadialBlurSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void RadialBlurSource::NoteOn() {
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void RadialBlurSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

float RadialBlurSource::AudioFactor() {
  levels_[levelIndex_] *= 0.75f;
  levelIndex_ ^= 1;
  levels_[levelIndex_] = host->GetLevel();
  return (levels_[0] + levels_[1]) * 0.5f;
}

void RadialBlurSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;
  const float audio = (options_ & kRespondToAudio) != 0 ? AudioFactor() : 1.0f;

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
  SetBlending(device, keyed);
  BeginFlatDraw(device);
  device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  const float* rect = source_->GetTexelOffset();

  if ((options_ & kSourceUnderBlur) != 0) {
    const float opaque[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    vertexShader_.constants->SetVector(constants, colorHandle_, opaque);
    DrawCopy(device, half_, rect, 1.0f, 0.0f, 0.0f);
  }

  SetBlending(device, true, params_[10] == 1 ? gfx::Blend::One : gfx::Blend::InvSrcAlpha);
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  // One pass is one copy at the start alpha (the step would divide by zero).
  const int32_t passes = std::max(params_[7], 1);
  const float spread = float(params_[6]) * audio * 0.01f / float(passes);
  const float shiftX = float(params_[4]) * spread * 2.0f, shiftY = float(params_[5]) * spread * 2.0f;
  const float alphaStart = float(params_[8]) * 0.01f;
  const float alphaStep = passes > 1 ? float(params_[9] - params_[8]) * 0.01f / float(passes - 1) : 0.0f;
  for (int32_t copy = 0; copy < passes; ++copy) {
    const float alpha = alphaStart + alphaStep * float(copy);
    if (!(alpha > 1.0f / 255.0f)) continue;
    const float colour[4] = {1.0f, 1.0f, 1.0f, alpha};
    vertexShader_.constants->SetVector(constants, colorHandle_, colour);
    DrawCopy(device, half_, rect, 1.0f + spread * float(copy), float(copy) * shiftX, float(copy) * shiftY);
  }

  EndFlatDraw(device);
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
}

}  // namespace kestrix
