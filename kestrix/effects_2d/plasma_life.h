#pragma once
// "Plasma Life": a two-chemical reaction-diffusion simulation run on the
// graphics card. A note seeds the two fields from the source's red and
// green; every frame two steps run between two float targets, with noise
// stirring the second chemical, and the fields are shown as red and green.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class PlasmaLife final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("e135fa5d417b4d449dc59453d1645c04");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Plasma Life";
  static constexpr const char* kDescription = "Display a growing pattern, perturbed by a source";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
  };
  static constexpr uint32_t kInitialOptions = 0x0D;
  enum Param : int32_t { kA, kB, kBeta, kScale, kDrawScale, kParamCount };
  static constexpr uint32_t kFieldSize = 256;

  PlasmaLife() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;
  bool MakeFields();
  void ReleaseFields();
  // The states every pass shares; Restore gives the frame loop its own back.
  void SetUp(gfx::Device* device);
  void Restore(gfx::Device* device);
  void DrawInto(gfx::Device* device, gfx::Surface* target, gfx::Texture* from);

  int32_t params_[kParamCount] = {32, 32, 384, 256, 32};
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  HalfExtents half_;
  uint32_t timeSinceNoteOn_ = 0;
  gfx::Ref<gfx::Texture> fieldA_, fieldB_;
  gfx::Ref<gfx::Surface> surfaceA_, surfaceB_;
  gfx::Ref<gfx::Texture> noise_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects lifeShader_;
  PixelShaderObjects showShader_;
  gfx::ConstantHandle matWVP_, pixelSize_, diffusion_, drawScale_;
};

}  // namespace kestrix
