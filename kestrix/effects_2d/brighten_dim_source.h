#pragma once
// "Brighten/Dim Source": the source multiplied by a grey brightness taken
// from the "Bright" knob every frame, or from the note's velocity at note on.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class BrightenDimSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("2b75bed63a2490408bf1ab231b116636");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Brighten/Dim Source";
  static constexpr const char* kDescription = "Display a source with velocity-based brightness";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kTransparentBlack = 1u << 1,
    kEraseOnNoteOff = 1u << 2,
    kResetEachNote = 1u << 3,
    kLooped = 1u << 4,
    kVolumeFollowsVelocity = 1u << 5,
    kPanFollowsVelocity = 1u << 6,
    kVelocityBrightness = 1u << 7,
  };
  static constexpr uint32_t kInitialOptions = 0x9D;
  static constexpr int32_t kInitialBright = 100;

  BrightenDimSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 1; }
  // "Bright" is offered only while the velocity does not set the brightness.
  bool IsParamEnabled(int32_t) override { return (options_ & kVelocityBrightness) == 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t) override { return bright_; }
  void SetParam(int32_t, int32_t value) override { bright_ = value; }

  // The grey the source is multiplied by (the shader scales it by 4, so
  // 0.25 shows the source unchanged).
  static float BrightnessFromKnob(int32_t bright);
  static float BrightnessFromVelocity(uint8_t velocity);

 private:
  void ReleaseEffectObjects() override;
  void SetBrightness(float b) { color_[0] = color_[1] = color_[2] = b; }

  int32_t bright_ = kInitialBright;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  HalfExtents half_;
  float color_[4] = {0.25f, 0.25f, 0.25f, 1.0f};
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, keyColor_, keyDist_;
};

}  // namespace kestrix
