#pragma once
// "Solarize Source": the source posterised, a bias added to each channel and
// the result rounded to a set number of levels; optionally keyed.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class SolarizeSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("7b79229d9cc97e48b964d0b4aa37b383");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Solarize Source";
  static constexpr const char* kDescription = "Solarize a video source (reduce color gradients)";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kTransparentKey = 1u << 1,
    kEraseOnNoteOff = 1u << 2,
    kResetEachNote = 1u << 3,
    kLooped = 1u << 4,
  };
  static constexpr uint32_t kInitialOptions = 0x19;
  static constexpr int32_t kNumParams = 8;

  SolarizeSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  // The key knobs count only while the key is on.
  bool IsParamEnabled(int32_t i) override { return i > 3 || (options_ & kTransparentKey) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;

  int32_t params_[kNumParams] = {0, 0, 0, 10, 0, 0, 0, 4};
  HalfExtents half_;
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, keyColor_, keyDist_, bias_, steps_;
};

}  // namespace kestrix
