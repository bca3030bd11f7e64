#pragma once
// "Wormhole Source": the source on a wide funnel with a wavy profile, seen
// from above, its texture scrolling down the throat.
#include "class_id_bytes.h"
#include "effects_3d/tube_effect.h"

namespace kestrix {

class WormholeSource final : public TubeEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("d8b075eb510d8743a9498eb5d2186bc9");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Wormhole Source";
  static constexpr const char* kDescription = "Pull a source into a wormhole";

  enum Param : int32_t { kKeyDist, kOffsetX, kOffsetY, kTileX, kTileY, kView, kParamCount };

  WormholeSource() : TubeEffect(184) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t i) override { return i != kKeyDist || (options_ & kTransparentBlack) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  Mesh FillMesh(QuadVertex* vertices, uint16_t* indices, int32_t n) override;
  void StartMotion(bool resetPlayback) override {
    if (resetPlayback) ResetMotion();
  }
  void ResetMotion() override { elapsed_ = 0; }
  Motion Step(uint32_t milliseconds) override;
  d3dx::Matrix ViewProjection() const override;
  gfx::Cull CullMode() const override { return gfx::Cull::CCW; }
  float KeyDistance() const override;

  int32_t params_[kParamCount] = {3, 100, 100, 3, 3, 0};
  uint32_t elapsed_ = 0;
};

}  // namespace kestrix
