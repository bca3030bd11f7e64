#include "effects_3d/tunnel_source.h"

#include <cmath>
#include <numbers>

namespace kestrix {
namespace {

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-100, 100, 0, 1, lv::ChunkTag("OFSX"), "OffsetX", nullptr},
    {-100, 100, 0, 1, lv::ChunkTag("OFSY"), "OffsetY", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("TILX"), "TileX", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("TILY"), "TileY", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {0, 127, 64, 0, lv::ChunkTag("VELO"), "Velocity", nullptr},
};

constexpr int32_t kRings = 4;
constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

}  // namespace

const lv::ParamInfo* TunnelSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool TunnelSource::IsParamEnabled(int32_t i) {
  if (i == kKeyDist) return (options_ & kTransparentBlack) != 0;
  if (i == kVelocity) return (options_ & kVelocityActive) == 0;
  return true;
}

float TunnelSource::KeyDistance() const { return float(params_[kKeyDist]) * 0.0068965517f; }

TubeEffect::Mesh TunnelSource::FillMesh(QuadVertex* vertices, uint16_t* indices, int32_t n) {
  // A cone of four rings from radius 4 at depth 0 to the apex at depth 100;
  // each ring's first and last vertex meet at the texture seam.
  for (int32_t i = 0; i < kRings; ++i) {
    const float t = float(i) * 0.33333334f;
    for (int32_t j = 0; j < n; ++j) {
      const float around = float(j) / float(n - 1);
      const float a = kTwoPi * around;
      vertices[i * n + j] = {(1 - t) * std::sin(a) * 4, (1 - t) * std::cos(a) * 4, 100 * t, around, t};
    }
  }
  // One strip over the three gaps, joined by degenerate triangles.
  int32_t k = 0;
  for (int32_t r = 0; r < kRings - 1; ++r) {
    for (int32_t j = 0; j < n; ++j) {
      indices[k++] = uint16_t(r * n + j);
      indices[k++] = uint16_t(r * n + j + n);
    }
    if (r < kRings - 2) {
      const int32_t next = (r + 1) * n;
      indices[k++] = uint16_t(next + n - 1);
      indices[k++] = uint16_t(next);
    }
  }
  return {uint32_t(kRings * n), uint32_t(k - 2)};
}

TubeEffect::Motion TunnelSource::Step(uint32_t milliseconds) {
  const float s = float(milliseconds) * 0.0025f;
  const int32_t speed = (options_ & kVelocityActive) != 0 ? int32_t(velocity) : params_[kVelocity];
  const float w = float(speed - 64);
  u_ += float(params_[kOffsetX]) * 0.005f * s * w / 64.0f;
  v_ += float(params_[kOffsetY]) * 0.005f * float(params_[kTileY]) * s * w / 64.0f;
  roll_ = u_ * kTwoPi;
  Motion motion;
  motion.uvOffset[1] = v_;
  motion.uvScale[0] = float(params_[kTileX]);
  motion.uvScale[1] = float(params_[kTileY]);
  motion.color[3] = float(params_[kAlpha]) / 255.0f;
  return motion;
}

d3dx::Matrix TunnelSource::ViewProjection() const {
  const d3dx::Matrix view =
      d3dx::MatrixLookAtLH({0, 0, -3}, {0, 0, 0}, {std::sin(roll_), std::cos(roll_), 0});
  const d3dx::Matrix projection = d3dx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4, 4.0f / 3.0f, 0.1f, 200);
  return view * projection;
}

}  // namespace kestrix
