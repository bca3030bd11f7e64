#pragma once
// "Invert Source": the source with its colours inverted, or only its
// brightness inverted while the colour stays, by an adjustable amount.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class InvertSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("2ddf79ed641b474d8215b69c3e977ee1");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Invert Source";
  static constexpr const char* kDescription = "Invert a source, or the source brightness";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kInvertBrightness = 1u << 4,
  };
  static constexpr uint32_t kInitialOptions = 0x0F;

  InvertSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 1; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  // "Inv Amt" is kept as the amount v / 127 and read back rounded.
  int32_t GetParam(int32_t) override { return int32_t(amount_ * 127.0f + 0.5f); }
  void SetParam(int32_t, int32_t value) override { amount_ = float(value) * 0.007874016f; }

 private:
  void ReleaseEffectObjects() override;

  float amount_ = 1.0f;
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  HalfExtents half_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects invertShader_;
  PixelShaderObjects invertBrightShader_;
  gfx::ConstantHandle matWVP_;
  // "InvertScale" in each pixel shader's own table: the register need not be
  // the same in both.
  gfx::ConstantHandle invertScale_, invertBrightScale_;
};

}  // namespace kestrix
