#pragma once
// "Smooth Source": the source flattened into cartoon-like areas by an
// edge-preserving smoothing filter, run in alternating horizontal and
// vertical passes between two private render targets, then copied over the
// whole current target.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class SmoothSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("660db11ebad5ce4eabcda930359ba700");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Smooth Source";
  static constexpr const char* kDescription = "Display a source with edge-preserving smooth (cartoon)";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
    kPulsingSmooth = 1u << 6,
    kVelocityStrength = 1u << 7,
  };
  static constexpr uint32_t kInitialOptions = 0x0D;
  static constexpr int32_t kNumParams = 5;

  SmoothSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  // The ranges count only while the velocity does not set the step.
  bool IsParamEnabled(int32_t i) override {
    return i >= 2 || (options_ & (kPulsingSmooth | kVelocityStrength)) == 0;
  }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;
  void ReleaseTargets();
  bool MakeTargets();
  // One filter pass from `from` into `into` with the step `pixelSize`.
  void Pass(gfx::Device* device, gfx::Texture* from, gfx::Surface* into, float stepU, float stepV);

  int32_t params_[kNumParams] = {4, 4, 4, 4, 32};
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  float texelWidth_ = 0, texelHeight_ = 0;
  uint32_t timeSinceNoteOn_ = 0;
  uint32_t targetsWidth_ = 0, targetsHeight_ = 0;
  gfx::Ref<gfx::Texture> textureA_, textureB_;
  gfx::Ref<gfx::Surface> surfaceA_, surfaceB_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, pixelSize_, smoothRange_;
};

}  // namespace kestrix
