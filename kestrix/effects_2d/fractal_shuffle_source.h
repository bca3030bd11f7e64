#pragma once
// "Fractal Shuffle Source": each screen point shows the source at its
// complex square plus a shift that can circle over time; fed a frame-buffer
// source it gives fractal feedback.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class FractalShuffleSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("b3a28fb9fc150246854661c6a929233b");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Fractal Shuffle Source";
  static constexpr const char* kDescription = "Distort a source with fractal feedback";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kMovingPattern = 1u << 4,
  };
  static constexpr uint32_t kInitialOptions = 0x1F;
  static constexpr int32_t kNumParams = 6;

  FractalShuffleSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  // "Speed" counts only while the pattern moves.
  bool IsParamEnabled(int32_t i) override { return i != 2 || (options_ & kMovingPattern) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;

  int32_t params_[kNumParams] = {30, 270, 50, 20, 255, 0};
  HalfExtents half_;
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  float phase_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, sourceUV_, tint_, shift_, zoom_;
};

}  // namespace kestrix
