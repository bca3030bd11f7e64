#include "effects_2d/blur_source.h"

#include <cmath>
#include <cstdio>

#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr int kDialog = 179;
constexpr float kQuarterTurn = 1.57075f;
constexpr float kPerQuarterTurn = 0.6366385f;

void FormatAnimType(int32_t value, char* text, lv::Plug*, int32_t) {
  static constexpr const char* kNames[4] = {"Off On Cyc", "On Off Cyc", "Off On", "On Off"};
  std::snprintf(text, 16, "%s", kNames[value >= 0 && value < 4 ? value : 0]);
}

const lv::ParamInfo kParams[] = {
    {0, 128, 0, 0, lv::ChunkTag("XBLR"), "X Blur", nullptr},
    {0, 128, 0, 0, lv::ChunkTag("YBLR"), "Y Blur", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("PASS"), "Passes", nullptr},
    {0, 3, 0, 0, lv::ChunkTag("TYPE"), "Anim Type", FormatAnimType},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, BlurSource::kStretch},
    {1018, BlurSource::kEraseOnNoteOff},
    {1023, BlurSource::kResetEachNote},
    {1020, BlurSource::kLooped},
    {kit::audio_box::kVolumeVelocity, BlurSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, BlurSource::kPanFollowsVelocity},
    {1046, BlurSource::kAnimated},
    {1034, BlurSource::kVelocityStrength},
};

}  // namespace

float BlurSource::AnimationFactor(int32_t type, float a) {
  switch (type) {
    case 0: return std::sin(a);
    case 1: return std::cos(a);
    case 2: return a < kQuarterTurn ? a * kPerQuarterTurn : 1.0f;
    case 3: return a < kQuarterTurn ? (kQuarterTurn - a) * kPerQuarterTurn : 0.0f;
    default: return 1.0f;
  }
}

bool BlurSource::IsParamEnabled(int32_t i) {
  if (i < 2) return (options_ & kVelocityStrength) == 0;
  if (i == 3) return (options_ & kAnimated) != 0;
  return true;
}

const lv::ParamInfo* BlurSource::GetParamInfo(int32_t i) { return &kParams[Index(i)]; }

bool BlurSource::CreateDeviceObjects() {
  return CreateObjects({{{nullptr, nullptr},
                         {"vs_pass2Horiz", "ps_pass2Horiz"},
                         {"vs_pass2Vert", "ps_pass2Vert"},
                         {nullptr, nullptr}}});
}

bool BlurSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

void BlurSource::Render(uint32_t milliseconds) {
  gfx::Device* device = nullptr;
  if (!BeginPasses(milliseconds, &device)) return;
  float size[2] = {inverseWidth_, inverseHeight_};
  if ((options_ & kAnimated) != 0) {
    const float f = AnimationFactor(params_[3], float(velocity) * float(timeSinceNoteOn_) * 0.0001f);
    size[0] *= f;
    size[1] *= f;
  }
  if ((options_ & kVelocityStrength) != 0) {
    size[0] *= float(velocity) / 16.0f;
    size[1] *= float(velocity) / 16.0f;
  } else {
    size[0] *= float(params_[0]) / 16.0f;
    size[1] *= float(params_[1]) / 16.0f;
  }
  static constexpr float kWhite[4] = {1, 1, 1, 1};
  DrawPass(device, kHorizontal, -1, 0, size, kWhite);
  const int32_t passes = std::clamp(params_[2], 1, 16);
  for (int32_t i = 1; i < passes; ++i) {
    DrawPass(device, kVertical, 0, 1, size, kWhite);
    DrawPass(device, kHorizontal, 1, 0, size, kWhite);
  }
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
  DrawPass(device, kVertical, 0, -1, size, kWhite);
  EndPasses(device);
}

}  // namespace kestrix
