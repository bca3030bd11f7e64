#pragma once
// "Tunnel Source": the source on the walls of a narrowing tunnel that rolls
// about its axis while the texture scrolls towards the viewer.
#include "class_id_bytes.h"
#include "effects_3d/tube_effect.h"

namespace kestrix {

class TunnelSource final : public TubeEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("54db4469f21236408daa23e8f36ff245");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Tunnel Source";
  static constexpr const char* kDescription = "Draw a source on tunnel walls";

  enum Param : int32_t { kKeyDist, kOffsetX, kOffsetY, kTileX, kTileY, kAlpha, kVelocity, kParamCount };

  TunnelSource() : TubeEffect(185) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  Mesh FillMesh(QuadVertex* vertices, uint16_t* indices, int32_t n) override;
  void StartMotion(bool) override { ResetMotion(); }
  void ResetMotion() override { u_ = v_ = 0; }
  Motion Step(uint32_t milliseconds) override;
  d3dx::Matrix ViewProjection() const override;
  gfx::Cull CullMode() const override { return gfx::Cull::None; }
  float KeyDistance() const override;

  int32_t params_[kParamCount] = {3, 100, 100, 4, 4, 255, 64};
  float u_ = 0, v_ = 0;
  float roll_ = 0;
};

}  // namespace kestrix
