#include "effects_2d/wipe_source.h"

#include "platform/gfx/device.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 111;
constexpr int kDialog = 183;
// Beyond every distance between two colours (at most the square root of 3).
constexpr float kEverything = 1.0e6f;

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 10, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, WipeSource::kStretch},
    {1018, WipeSource::kEraseOnNoteOff},
    {1023, WipeSource::kResetEachNote},
    {1020, WipeSource::kLooped},
    {1022, WipeSource::kVelocityWipeSpeed},
};

}  // namespace

const lv::ParamInfo* WipeSource::GetParamInfo(int32_t i) { return &kParams[ParamIndex(i)]; }

float WipeSource::TimedKeyDistance(uint32_t milliseconds, uint8_t velocity) {
  if (velocity >= 127) return kEverything;
  const float seconds = float(milliseconds) * 0.001f;
  return seconds / (10.0f * (1.0f - float(velocity) / 127.0f)) * 0.87586206f;
}

bool WipeSource::CreateDeviceObjects() {
  if (!CreateObjects(kShader, "ps_colorkey")) return false;
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

bool WipeSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void WipeSource::Render(uint32_t milliseconds) {
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginDraw(milliseconds, &device, &target)) return;
  const float keyColor[4] = {float(params_[0]) / 255.0f, float(params_[1]) / 255.0f, float(params_[2]) / 255.0f, 1};
  const float keyDist = (options_ & kVelocityWipeSpeed) != 0 ? TimedKeyDistance(timeSinceNoteOn_, velocity)
                                                            : float(params_[3]) * 0.0068965517f;
  gfx::ConstantSink& sink = device->Constants();
  pixelShader_.constants->SetVector(sink, keyColor_, keyColor);
  pixelShader_.constants->SetFloat(sink, keyDist_, keyDist);

  // Depth only: every texel that is not keyed out marks the near plane.
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::AlphaTestEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaFunc, uint32_t(gfx::Cmp::Greater));
  device->SetRenderState(gfx::RenderState::ZFunc, uint32_t(gfx::Cmp::Always));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0);
  DrawSource(device, *target, 0.0f);
  device->SetRenderState(gfx::RenderState::ZFunc, uint32_t(gfx::Cmp::LessEqual));
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ColorWriteEnable, 0xF);
  device->SetRenderState(gfx::RenderState::AlphaTestEnable, 0);
  device->SetRenderState(gfx::RenderState::AlphaFunc, uint32_t(gfx::Cmp::Always));
}

}  // namespace kestrix
