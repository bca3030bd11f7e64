#pragma once
// "Radial Blur Source": ever larger, ever more shifted and fading copies of
// the source drawn over each other, read as a zoom blur from a chosen
// centre; the blur length can follow the audio level.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class RadialBlurSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("b8ce8342b1de71498d8905e17ab8186a");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Radial Blur Source";
  static constexpr const char* kDescription = "Radial Blur a video source";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kTransparentKey = 1u << 1,
    kEraseOnNoteOff = 1u << 2,
    kResetEachNote = 1u << 3,
    kLooped = 1u << 4,
    kSourceUnderBlur = 1u << 5,
    kBrightnessStreaks = 1u << 6,
    kRespondToAudio = 1u << 7,
  };
  static constexpr uint32_t kInitialOptions = 0x3D;
  static constexpr int32_t kNumParams = 11;

  RadialBlurSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  bool IsParamEnabled(int32_t i) override { return i > 3 || (options_ & kTransparentKey) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;
  // The blur length from the last two audio levels, smoothed.
  float AudioFactor();

  int32_t params_[kNumParams] = {0, 0, 0, 2, 0, 0, 25, 8, 25, 0, 0};
  HalfExtents half_;
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  float levels_[2] = {0, 0};
  int levelIndex_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, keyColor_, keyDist_;
};

}  // namespace kestrix
