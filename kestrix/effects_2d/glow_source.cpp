#include "effects_2d/glow_source.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/gfx/device.h"
#include "platform/window/common_dialogs.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/screen_pixels.h"

namespace kestrix {
namespace {

constexpr int kDialog = 180;
constexpr int kKeyColourButton = 1058;
constexpr int kPickColourButton = 1033;
constexpr const char* kPickColourText = "Pick Color";

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {0, 128, 0, 0, lv::ChunkTag("XBLR"), "X Glow", nullptr},
    {0, 128, 0, 0, lv::ChunkTag("YBLR"), "Y Glow", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("PASS"), "Passes", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, GlowSource::kStretch},
    {1018, GlowSource::kEraseOnNoteOff},
    {1023, GlowSource::kResetEachNote},
    {1020, GlowSource::kLooped},
    {kit::audio_box::kVolumeVelocity, GlowSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, GlowSource::kPanFollowsVelocity},
    {1022, GlowSource::kPulsing},
    {1021, GlowSource::kSourceUnderGlow},
    {1024, GlowSource::kVelocityStrength},
};

// Kept while the library is loaded, as the colour chooser shows them.
std::array<window::ColourRef, 16> customColours{};

}  // namespace

// "Glow Key Color": the chooser sets the key at once, whatever the dialog
// ends with. "Pick Color" likewise takes the key from the screen: while
// picking, the button shows the pixel under the pointer, and the next left
// click keeps it.
class GlowSource::Extras final : public kit::SettingsDialogExtras {
 public:
  explicit Extras(GlowSource& glow) : glow_(glow) {}
  bool Command(window::Dialog& dialog, int id, window::NotifyCode) override {
    if (id == kPickColourButton) {
      StartPicking(dialog);
      return true;
    }
    if (id != kKeyColourButton) return false;
    window::ColourRequest request;
    request.owner = dialog.Handle();
    request.initial = window::ColourRef(glow_.params_[0] | glow_.params_[1] << 8 | glow_.params_[2] << 16);
    request.customColours = &customColours;
    if (const auto chosen = window::ChooseColour(request)) {
      glow_.params_[0] = int32_t(*chosen & 0xFF);
      glow_.params_[1] = int32_t(*chosen >> 8 & 0xFF);
      glow_.params_[2] = int32_t(*chosen >> 16 & 0xFF);
    }
    return true;
  }

 private:
  void StartPicking(window::Dialog& dialog) {
    if (picker_ && picker_->Active()) return;
    window::MouseCapture::Handlers handlers;
    handlers.moved = [&dialog](int x, int y) { dialog.SetItemText(kPickColourButton, PixelText(window::ScreenPixel(x, y))); };
    handlers.leftButtonDown = [this, &dialog](int x, int y) {
      if (const auto pixel = window::ScreenPixel(x, y)) {
        glow_.params_[0] = int32_t(*pixel & 0xFF);
        glow_.params_[1] = int32_t(*pixel >> 8 & 0xFF);
        glow_.params_[2] = int32_t(*pixel >> 16 & 0xFF);
      }
      EndPicking(dialog);
    };
    // Never left showing "Picking" when the capture goes away.
    handlers.lost = [this, &dialog] { EndPicking(dialog); };
    picker_ = std::make_unique<window::MouseCapture>(dialog.Handle(), std::move(handlers));
    dialog.SetItemText(kPickColourButton, "Picking");
  }

  void EndPicking(window::Dialog& dialog) {
    if (picker_) picker_->Release();
    dialog.SetItemText(kPickColourButton, kPickColourText);
  }

  static std::string PixelText(std::optional<window::ColourRef> pixel) {
    if (!pixel) return "No screen pixels";
    char text[32];
    std::snprintf(text, sizeof text, "r:%d g:%d b:%d", int(*pixel & 0xFF), int(*pixel >> 8 & 0xFF), int(*pixel >> 16 & 0xFF));
    return text;
  }

  GlowSource& glow_;
  std::unique_ptr<window::MouseCapture> picker_;
};

const lv::ParamInfo* GlowSource::GetParamInfo(int32_t i) { return &kParams[Index(i)]; }

bool GlowSource::CreateDeviceObjects() {
  return CreateObjects({{{"vs_pass1", "ps_pass1Glow"},
                         {"vs_pass2Horiz", "ps_pass2Horiz"},
                         {"vs_pass2Vert", "ps_pass2Vert"},
                         {"vs_pass1", "ps_pass1Blur"}}});
}

bool GlowSource::Configure(lv::WindowHandle owner) {
  Extras extras(*this);
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_, &extras);
}

void GlowSource::Render(uint32_t milliseconds) {
  gfx::Device* device = nullptr;
  if (!BeginPasses(milliseconds, &device) || !passes_[kKeyPass] || !passes_[kPlainPass]) return;
  float size[2];
  if ((options_ & kPulsing) != 0) {
    const float v = float(velocity);
    const float p = v * std::sin(v * float(timeSinceNoteOn_) * 0.0001f) / 32.0f;
    size[0] = p >= 0 ? p * inverseWidth_ : inverseWidth_;
    size[1] = p >= 0 ? inverseHeight_ : -p * inverseHeight_;
  } else {
    size[0] = float(params_[4]) / 16.0f * inverseWidth_;
    size[1] = float(params_[5]) / 16.0f * inverseHeight_;
  }
  const float strength = (options_ & kVelocityStrength) != 0 ? float(velocity) / 127.0f : 1.0f;
  const float color[4] = {strength, strength, strength, 1};
  static constexpr float kWhite[4] = {1, 1, 1, 1};

  const Pass& key = passes_[kKeyPass];
  const float keyColor[4] = {float(params_[0]) / 255.0f, float(params_[1]) / 255.0f, float(params_[2]) / 255.0f, 1};
  gfx::ConstantSink& constants = device->Constants();
  key.pixel.constants->SetVector(constants, key.keyColor, keyColor);
  key.pixel.constants->SetFloat(constants, key.keyDist, float(params_[3]) / 255.0f);
  DrawPass(device, kKeyPass, -1, 0, size, color);
  DrawPass(device, kHorizontal, 0, 1, size, color);
  const int32_t passes = std::clamp(params_[6], 1, 16);
  for (int32_t i = 1; i < passes; ++i) {
    DrawPass(device, kVertical, 1, 0, size, color);
    DrawPass(device, kHorizontal, 0, 1, size, color);
  }
  device->SetRenderTarget(0, host->GetBackBuffer());
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
  if ((options_ & kSourceUnderGlow) != 0) DrawPass(device, kPlainPass, -1, -1, size, kWhite);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::One));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::One));
  DrawPass(device, kVertical, 1, -1, size, color);
  EndPasses(device);
}

}  // namespace kestrix
