#pragma once
// "Cross-Hatch Source": the source redrawn as pencil shading: each pixel's
// brightness picks up to four hatch layers from a tiled pattern (cross-hatch
// or halftone), mixed with the (de)saturated source colour.
#include <cstdint>

#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class CrossHatchSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("54a5fa552c3590478dc87445467b0987");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Cross-Hatch Source";
  static constexpr const char* kDescription = "Display a source with pencil-like crosshatch shading";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kTransparentKey = 1u << 1,
    kEraseOnNoteOff = 1u << 2,
    kResetEachNote = 1u << 3,
    kLooped = 1u << 4,
    kVolumeFollowsVelocity = 1u << 5,
    kPanFollowsVelocity = 1u << 6,
    kMovingPattern = 1u << 7,
  };
  static constexpr uint32_t kInitialOptions = 0x99;
  static constexpr int32_t kNumParams = 7;
  enum Pattern : int32_t { kCrossHatch = 0, kHalftone = 1 };

  CrossHatchSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
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

  int32_t PatternIndex() const { return pattern_; }
  void SetPatternIndex(int32_t index) { pattern_ = index == kHalftone ? kHalftone : kCrossHatch; }

 private:
  void ReleaseEffectObjects() override;

  int32_t pattern_ = kCrossHatch;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  int32_t params_[kNumParams] = {0, 0, 0, 3, 0, 50, 100};
  uint32_t timeSinceNoteOn_ = 0;
  HalfExtents half_;
  gfx::Ref<gfx::Texture> patternTexture_;
  gfx::Ref<gfx::VertexDeclaration> twoSetDeclaration_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, keyColor_, keyDist_, brightAdjust_, hatchStrength_, saturate_;
};

}  // namespace kestrix
