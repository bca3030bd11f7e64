#include "effects_2d/chroma_key_source.h"

#include <cmath>

#include "platform/gfx/device.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 134;
constexpr int kDialog = 193;
constexpr float kRadiansPerDegree = 3.14159265358979f / 180.0f;
// A falloff of no width is a hard edge: a steep finite slope keeps the
// shader's arithmetic free of infinities.
constexpr float kHardEdgeSlope = 1.0e6f;

const lv::ParamInfo kParams[] = {
    {0, 359, 0, 1, lv::ChunkTag("KHUE"), "Hue", nullptr},
    {0, 90, 0, 0, lv::ChunkTag("KSTR"), "Strength", nullptr},
    {0, 90, 0, 0, lv::ChunkTag("KFAL"), "Falloff", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("YLIM"), "Y Limit", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, ChromaKeySource::kStretch},
    {1018, ChromaKeySource::kEraseOnNoteOff},
    {1023, ChromaKeySource::kResetEachNote},
    {1020, ChromaKeySource::kLooped},
};

// Rows act on the row vector (R, G, B, 1): the columns give Y, Cb and Cr.
constexpr float kYuvMatrix[16] = {
    0.299f, -0.172f, 0.511f,  0, 
    0.587f, -0.339f, -0.428f, 0,
    0.114f, 0.511f,  -0.083f, 0,
    0,      0,       0,       1,
};

}  // namespace

const lv::ParamInfo* ChromaKeySource::GetParamInfo(int32_t i) { return &kParams[ParamIndex(i)]; }

ChromaKeySource::Constants ChromaKeySource::ConstantsFor(int32_t hue, int32_t strength, int32_t falloff,
                                                         int32_t yLimit) {
  const float h = float(hue) * kRadiansPerDegree;
  const float falloffAngle = float(falloff) * kRadiansPerDegree;
  Constants c{};
  c.keyParams[0] = std::sin(h);
  c.keyParams[1] = std::cos(h);
  c.keyParams[2] = -std::cos(h);
  c.keyEnv[0] = float(strength) * kRadiansPerDegree;
  c.keyEnv[1] = falloff > 0 ? 1.0f / falloffAngle : kHardEdgeSlope;
  c.yLimit = float(yLimit) / 255.0f;
  return c;
}

bool ChromaKeySource::CreateDeviceObjects() {
  if (!CreateObjects(kShader, "ps_main")) return false;
  yuvMatrix_ = FindConstant(pixelShader_.constants, "YUVMatrix");
  keyParams_ = FindConstant(pixelShader_.constants, "KeyParams");
  keyEnv_ = FindConstant(pixelShader_.constants, "KeyEnv");
  yLimit_ = FindConstant(pixelShader_.constants, "YLimit");
  return true;
}

bool ChromaKeySource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void ChromaKeySource::Render(uint32_t milliseconds) {
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginDraw(milliseconds, &device, &target)) return;
  const Constants c = ConstantsFor(params_[0], params_[1], params_[2], params_[3]);
  gfx::ConstantSink& sink = device->Constants();
  pixelShader_.constants->SetMatrix(sink, yuvMatrix_, kYuvMatrix);
  pixelShader_.constants->SetVector(sink, keyParams_, c.keyParams);
  pixelShader_.constants->SetVector(sink, keyEnv_, c.keyEnv);
  pixelShader_.constants->SetFloat(sink, yLimit_, c.yLimit);

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  DrawSource(device, *target, 1.0f);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
}

}  // namespace kestrix
