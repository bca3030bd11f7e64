#include "effects_3d/sphere_pulse_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 141;
constexpr int kDialog = 196;
constexpr float kPi = std::numbers::pi_v<float>;

const lv::ParamInfo kParams[] = {
    {-360, 360, -180, 1, lv::ChunkTag("ROTX"), "X Rot", nullptr},
    {-360, 360, 210, 1, lv::ChunkTag("ROTY"), "Y Rot", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ROTZ"), "Z Rot", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSX"), "X Pos", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSY"), "Y Pos", nullptr},
    {0, 200, 100, 0, lv::ChunkTag("DPTH"), "Depth", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {3, 100, 80, 0, lv::ChunkTag("SMTH"), "Smooth", nullptr},
};

constexpr auto kCheckBoxes = WithShapeCheckBoxes({{1048, SpherePulseSource::kRespondToAudio}});

constexpr TurningShapeEffect::RadioPair kRadioPairs[] = {
    {1036, 1037, TurningShapeEffect::kAbsolute},
    {1039, 1038, SpherePulseSource::kSphere},
};

const gfx::VertexElement kLayout[] = {
    {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
    {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::TexCoord, 0},
    gfx::kDeclEnd,
};

// Position, then (u, v, angle around the axis).
struct PulseVertex {
  float x, y, z;
  float u, v, angle;
};
static_assert(sizeof(PulseVertex) == 24);

}  // namespace

SpherePulseSource::SpherePulseSource() : TurningShapeEffect(kInitialOptions, kDialog, kShader) {
  for (int32_t i = 0; i < 8; ++i) params_[i] = kParams[i].defaultValue;
}

const lv::ParamInfo* SpherePulseSource::GetParamInfo(int32_t i) { return &kParams[i]; }
const gfx::VertexElement* SpherePulseSource::VertexLayout() const { return kLayout; }
std::span<const TurningShapeEffect::RadioPair> SpherePulseSource::RadioPairs() const { return kRadioPairs; }
std::span<const kit::OptionCheckBox> SpherePulseSource::CheckBoxes() const { return kCheckBoxes; }

TurningShapeEffect::Buffers SpherePulseSource::BuildShape(gfx::Device* device) {
  builtSmooth_ = params_[kSmooth];
  const uint32_t n = uint32_t(std::clamp(builtSmooth_, kMinSmooth, kMaxSmooth));
  const bool sphere = (options_ & kSphere) != 0;
  const uint32_t rings = sphere ? n : n + 1;
  const uint32_t perRing = n + 1;
  const uint32_t vertexCount = rings * perRing;
  const uint32_t triangleCount = 2 * n * (rings - 1);
  Buffers buffers;
  if (!CreateShapeBuffers(device, vertexCount * sizeof(PulseVertex), triangleCount * 6, &buffers.vertices,
                          &buffers.indices)) {
    return {};
  }
  void* vertexData = nullptr;
  void* indexData = nullptr;
  if (gfx::Failed(buffers.vertices->Lock(0, 0, &vertexData, gfx::lock::None))) return {};
  if (gfx::Failed(buffers.indices->Lock(0, 0, &indexData, gfx::lock::None))) {
    buffers.vertices->Unlock();
    return {};
  }
  auto* v = static_cast<PulseVertex*>(vertexData);
  for (uint32_t r = 0; r < rings; ++r) {
    for (uint32_t i = 0; i <= n; ++i) {
      const float theta = 2 * kPi * float(i) / float(n);
      if (sphere) {
        const float phi = float(r) * kPi / float(n - 1);
        *v++ = {std::cos(theta) * std::sin(phi), std::cos(phi), std::sin(theta) * std::sin(phi), theta * 2 / kPi,
                3 * float(r) / float(n - 1), theta};
      } else {
        const float phi = 2 * kPi * float(r) / float(n);
        const float radius = 0.75f + 0.5f * std::sin(phi);
        *v++ = {radius * std::cos(theta), 0.5f * std::cos(phi), radius * std::sin(theta), theta * 2 / kPi,
                4 * float(r) / float(n), theta};
      }
    }
  }
  buffers.triangleCount = FillRingIndices(static_cast<uint16_t*>(indexData), rings, perRing);
  buffers.vertexCount = vertexCount;
  buffers.vertices->Unlock();
  buffers.indices->Unlock();
  return buffers;
}

void SpherePulseSource::BeforeFrame(gfx::Device* device, uint32_t milliseconds) {
  if (params_[kSmooth] != builtSmooth_) {
    shape_ = {};
    shape_ = BuildShape(device);
  }
  elapsed_ += milliseconds;
}

void SpherePulseSource::StartNote(bool resetPlayback) {
  std::fill(std::begin(levels_), std::end(levels_), 0.0f);
  ringIndex_ = 0;
  if (resetPlayback) elapsed_ = 0;
}

void SpherePulseSource::SetShapeConstants(gfx::ConstantSink& sink, const gfx::ConstantTable& table) {
  const float t = float(elapsed_);
  float offset[4] = {3 * std::sin(0.001f * t), 3 * std::cos(0.0007f * t), 0, 0};
  float multiplier[4] = {0.3f * std::sin(0.0027f * t), 0.3f * std::cos(0.0037f * t), 0, 0};
  if ((options_ & kRespondToAudio) != 0) {
    for (float& level : levels_) level *= 0.75f;
    levels_[ringIndex_] = host->GetLevel();
    ringIndex_ = (ringIndex_ + 1) % 4;
    const float mean = (levels_[0] + levels_[1] + levels_[2] + levels_[3]) / 4;
    multiplier[0] += 0.5f * mean;
    multiplier[1] += 0.5f * mean;
    offset[0] += mean;
  }
  table.SetVector(sink, table.GetConstantByName("Offset"), offset);
  table.SetVector(sink, table.GetConstantByName("Multiplier"), multiplier);
}

}  // namespace kestrix
