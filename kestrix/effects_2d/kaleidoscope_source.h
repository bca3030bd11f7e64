#pragma once
// "Kaleidoscope Source": one triangle of the source repeated, mirrored from
// triangle to triangle, over a grid of equilateral triangles covering the
// target; the grid and the sampled triangle turn and the grid pulses, by the
// knobs or by time and velocity.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class KaleidoscopeSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("9898f8e7e48c124f9d1d3446ce259629");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Kaleidoscope Source";
  static constexpr const char* kDescription = "Display a video source in a kaleidoscope";

  enum Option : uint32_t {
    kTransparentKey = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
    kSustainNote = 1u << 6,
    kRotateSource = 1u << 7,
    kRotatePattern = 1u << 8,
    kPulsePattern = 1u << 9,
  };
  static constexpr uint32_t kInitialOptions = 0x39E;
  static constexpr int32_t kNumParams = 11;

  KaleidoscopeSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  // The note plays on after its key while the source can hold it, until the
  // source wraps.
  bool KeepAfterNoteOff() override { return keepPlaying_; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  // A knob counts only while the motion it sets is not driven by time.
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;
  bool FillMesh();

  int32_t params_[kNumParams] = {0, 0, 0, 3, 255, 255, 255, 255, 400, 0, 0};
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  uint32_t time_ = 0;
  bool keepPlaying_ = false;
  gfx::Ref<gfx::VertexDeclaration> meshDeclaration_;
  gfx::Ref<gfx::VertexBuffer> vertices_;
  gfx::Ref<gfx::IndexBuffer> indices_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, tcx_, tcy_, keyColor_, keyDist_;
};

}  // namespace kestrix
