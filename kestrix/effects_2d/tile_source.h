#pragma once
// "Tile Source": the source repeated as tiles over the quad, the tiling
// rotated and zoomed by the knobs, or turning and breathing over time at a
// speed the note's velocity sets.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class TileSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("2a57bd8c1ac9b440b0b2c2304a32c6c7");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Tile Source";
  static constexpr const char* kDescription = "Tile a source with variable zoom / rotate";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kConstantRotation = 1u << 4,
    kConstantZoom = 1u << 5,
  };
  static constexpr uint32_t kInitialOptions = 0x3F;
  static constexpr int32_t kNumParams = 5;

  TileSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  // A speed knob counts only while its constant motion is on.
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;

  int32_t params_[kNumParams] = {0, 50, 150, 50, 255};
  HalfExtents half_;
  uint32_t timeSinceNoteOn_ = 0;
  float rotationPhase_ = 0;
  float zoomPhase_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, rotZoom_, tint_;
};

}  // namespace kestrix
