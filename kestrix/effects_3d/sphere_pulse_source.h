#pragma once
// "Sphere Pulse Source": the source wrapped round a sphere or a torus whose
// surface pulses with two travelling sine waves, driven by time and, when
// asked, by the audio level.
#include "class_id_bytes.h"
#include "effects_3d/turning_shape_effect.h"

namespace kestrix {

class SpherePulseSource final : public TurningShapeEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("86ffffd6bc17fa44b928a6186864c480");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Sphere Pulse Source";
  static constexpr const char* kDescription = "Distort a video source with a pulsing sphere";

  static constexpr uint32_t kSphere = 1u << 16;
  static constexpr uint32_t kRespondToAudio = 1u << 17;
  static constexpr uint32_t kInitialOptions = 68894;
  static constexpr int32_t kSmooth = kSharedParamCount;
  // The mesh's smoothness is kept where both shapes fit 16-bit indices.
  static constexpr int32_t kMinSmooth = 3;
  static constexpr int32_t kMaxSmooth = 100;

  SpherePulseSource();

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumParams() override { return 8; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  const gfx::VertexElement* VertexLayout() const override;
  uint32_t VertexStride() const override { return 24; }
  Buffers BuildShape(gfx::Device* device) override;
  void BeforeFrame(gfx::Device* device, uint32_t milliseconds) override;
  void SetShapeConstants(gfx::ConstantSink& sink, const gfx::ConstantTable& table) override;
  gfx::Address TextureAddress() const override { return gfx::Address::Wrap; }
  void StartNote(bool resetPlayback) override;
  std::span<const RadioPair> RadioPairs() const override;
  std::span<const kit::OptionCheckBox> CheckBoxes() const override;

  int32_t builtSmooth_ = 0;
  uint32_t elapsed_ = 0;
  float levels_[4] = {};
  int ringIndex_ = 0;
};

}  // namespace kestrix
