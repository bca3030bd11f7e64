#pragma once
// "Cubist Source": the source on the six faces of a box turning in 3D.
#include "class_id_bytes.h"
#include "effects_3d/turning_shape_effect.h"

namespace kestrix {

class CubistSource final : public TurningShapeEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("5c063aeac9b301429a9536fccc810f61");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Cubist Source";
  static constexpr const char* kDescription = "Display a video source on the sides of a cube";

  static constexpr uint32_t kInitialOptions = 3358;
  enum Size : int32_t { kWidth = kSharedParamCount, kHeight, kDepthSize };

  CubistSource();

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumParams() override { return 10; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  const gfx::VertexElement* VertexLayout() const override;
  uint32_t VertexStride() const override { return 32; }
  Buffers BuildShape(gfx::Device* device) override;
  void SetShapeConstants(gfx::ConstantSink& sink, const gfx::ConstantTable& table) override;
  gfx::Address TextureAddress() const override { return gfx::Address::Clamp; }
  void StartNote(bool) override {}
  std::span<const RadioPair> RadioPairs() const override;
  std::span<const kit::OptionCheckBox> CheckBoxes() const override;
};

}  // namespace kestrix
