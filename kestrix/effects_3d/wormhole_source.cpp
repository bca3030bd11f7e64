#include "effects_3d/wormhole_source.h"

#include <cmath>
#include <numbers>

#include "platform/gfx/device.h"

namespace kestrix {
namespace {

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {0, 100, 0, 1, lv::ChunkTag("OFSX"), "OffsetX", nullptr},
    {0, 100, 0, 1, lv::ChunkTag("OFSY"), "OffsetY", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("TILX"), "TileX", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("TILY"), "TileY", nullptr},
    {0, 100, 0, 0, lv::ChunkTag("VIEW"), "View", nullptr},
};

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

}  // namespace

const lv::ParamInfo* WormholeSource::GetParamInfo(int32_t i) { return &kParams[i]; }

float WormholeSource::KeyDistance() const { return float(params_[kKeyDist]) * 0.0068965517f; }

TubeEffect::Mesh WormholeSource::FillMesh(QuadVertex* vertices, uint16_t* indices, int32_t n) {
  // A funnel from radius 0 at height -5 to radius 8.5 at height 5.
  for (int32_t i = 0; i < n; ++i) {
    const float l = float(i) / float(n - 1);
    const float radius = 5 * l * (0.7f * l + 1);
    const float y = 2.5f * std::sin(kTwoPi * l) + 10 * l - 5;
    for (int32_t j = 0; j < n; ++j) {
      const float around = float(j) / float(n - 1);
      const float a = kTwoPi * around;
      vertices[i * n + j] = {radius * std::sin(a), y, radius * std::cos(a), around, 1 - l};
    }
  }
  int32_t k = 0;
  for (int32_t i = 0; i < n - 1; ++i) {
    for (int32_t j = 0; j < n; ++j) {
      indices[k++] = uint16_t(i * n + j);
      indices[k++] = uint16_t(i * n + j + n);
    }
    if (i < n - 2) {
      const int32_t next = (i + 1) * n;
      indices[k++] = uint16_t(next + n - 1);
      indices[k++] = uint16_t(next);
    }
  }
  return {uint32_t(n * n), uint32_t(k - 2)};
}

TubeEffect::Motion WormholeSource::Step(uint32_t milliseconds) {
  elapsed_ += milliseconds;
  float du = float(params_[kOffsetX]) * 0.01f;
  float dv = float(params_[kOffsetY]) * -0.01f;
  if ((options_ & kVelocityActive) != 0) {
    const float drift = float(elapsed_) * 0.0025f * float(int32_t(velocity) - 64) / 64.0f;
    du *= drift;
    dv *= drift;
  }
  Motion motion;
  motion.uvOffset[0] = du;
  motion.uvOffset[1] = dv;
  motion.uvScale[0] = float(params_[kTileX]);
  motion.uvScale[1] = float(params_[kTileY]);
  return motion;
}

d3dx::Matrix WormholeSource::ViewProjection() const {
  const float view = float(params_[kView]);
  const d3dx::Matrix lookAt = d3dx::MatrixLookAtLH({0, 5 + 0.07f * view, 8 - 0.08f * view}, {0, 1, 0}, {0, 0, -1});
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  const float aspect = target != nullptr && target->height != 0 ? float(target->width) / float(target->height) : 1.0f;
  return lookAt * d3dx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4, aspect, 0.1f, 200);
}

}  // namespace kestrix
