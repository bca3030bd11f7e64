#pragma once
// "HSV Modify Source": the source through one colour matrix that changes
// saturation, turns hue keeping luminance, and scales value, each amount
// from a knob or from the note's velocity.
#include "class_id_bytes.h"
#include "platform/d3dx/math.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class HsvModifySource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("7b580573945a7e4caf5dc66d9b3aec3a");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "HSV Modify Source";
  static constexpr const char* kDescription = "Alter the HSV values of a source";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVelocityHue = 1u << 4,
    kVelocitySaturation = 1u << 5,
    kVelocityValue = 1u << 6,
  };
  static constexpr uint32_t kInitialOptions = 0x1F;

  HsvModifySource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 3; }
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[ParamIndex(i)]; }
  void SetParam(int32_t i, int32_t value) override { params_[ParamIndex(i)] = value; }

  // The colour matrix (acting on a row vector (R, G, B, 1)) for saturation
  // s, hue turn h (radians) and value k.
  static d3dx::Matrix ColourMatrix(float saturation, float hue, float value);

 private:
  static size_t ParamIndex(int32_t i) { return i >= 0 && i < 3 ? size_t(i) : 0; }
  void ReleaseEffectObjects() override;

  int32_t params_[3] = {0, 0, 0};
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  HalfExtents half_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, hsvMatrix_;
};

}  // namespace kestrix
