#pragma once
// "Fade Source": the source with an opacity moving from a start to an end
// percentage over a fade time fixed at note on, fixed or from the velocity.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class FadeSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("74f43e868884c644a969de0b8c7b8be6");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Fade Source";
  static constexpr const char* kDescription = "Fade to/from a source with velocity-based fade time";

  enum Option : uint32_t {
    kEraseOnNoteOff = 1u << 0,
    kTransparentBlack = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
    kStretch = 1u << 6,
    kVelocityFadeTime = 1u << 7,
    kAdditive = 1u << 8,
    kOverrideVelocity = 1u << 9,
  };
  static constexpr uint32_t kInitialOptions = 0xCD;

  FadeSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 1; }
  bool IsParamEnabled(int32_t i) override { return i != 0 || (options_ & kOverrideVelocity) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t) override { return velocityParam_; }
  void SetParam(int32_t, int32_t value) override { velocityParam_ = value; }

  // The opacity `elapsed` ms into a fade of `duration` ms between the two
  // percentages; a fade of no length is at its end at once.
  static float Opacity(uint8_t fromPercent, uint8_t toPercent, uint32_t elapsed, uint32_t duration);

 private:
  class Extras;
  void ReleaseEffectObjects() override;

  int32_t velocityParam_ = 64;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  uint8_t fromPercent_ = 0;
  uint8_t toPercent_ = 100;
  HalfExtents half_;
  uint32_t duration_ = 0;
  uint32_t elapsed_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, keyColor_, keyDist_;
};

}  // namespace kestrix
