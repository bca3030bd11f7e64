#include "effects_3d/cubist_source.h"

#include <numbers>

#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 12321;
constexpr int kDialog = 177;
constexpr float kPi = std::numbers::pi_v<float>;

const lv::ParamInfo kParams[] = {
    {-360, 360, -180, 1, lv::ChunkTag("ROTX"), "X Rot", nullptr},
    {-360, 360, 210, 1, lv::ChunkTag("ROTY"), "Y Rot", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ROTZ"), "Z Rot", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSX"), "X Pos", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSY"), "Y Pos", nullptr},
    {0, 200, 100, 0, lv::ChunkTag("DPTH"), "Dist", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {0, 800, 200, 0, lv::ChunkTag("SIZX"), "Width", nullptr},
    {1, 800, 200, 0, lv::ChunkTag("SIZY"), "Height", nullptr},
    {1, 800, 200, 0, lv::ChunkTag("SIZZ"), "Depth", nullptr},
};

constexpr TurningShapeEffect::RadioPair kRadioPairs[] = {{1036, 1037, TurningShapeEffect::kAbsolute}};

const gfx::VertexElement kLayout[] = {
    {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
    {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::Normal, 0},
    {0, 24, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
    gfx::kDeclEnd,
};

struct BoxVertex {
  float x, y, z;
  float nx, ny, nz;
  float u, v;
};
static_assert(sizeof(BoxVertex) == 32);

constexpr uint32_t kFaces = 6;

d3dx::Matrix FaceTurn(uint32_t face) {
  if (face < 4) return d3dx::MatrixRotationY(float(face) * kPi / 2);
  return d3dx::MatrixRotationX(face == 4 ? kPi / 2 : 3 * kPi / 2);
}

}  // namespace

CubistSource::CubistSource() : TurningShapeEffect(kInitialOptions, kDialog, kShader) {
  for (int32_t i = 0; i < 10; ++i) params_[i] = kParams[i].defaultValue;
}

const lv::ParamInfo* CubistSource::GetParamInfo(int32_t i) { return &kParams[i]; }
const gfx::VertexElement* CubistSource::VertexLayout() const { return kLayout; }
std::span<const TurningShapeEffect::RadioPair> CubistSource::RadioPairs() const { return kRadioPairs; }
std::span<const kit::OptionCheckBox> CubistSource::CheckBoxes() const { return kShapeCheckBoxes; }

TurningShapeEffect::Buffers CubistSource::BuildShape(gfx::Device* device) {
  Buffers buffers;
  if (!CreateShapeBuffers(device, kFaces * 4 * sizeof(BoxVertex), kFaces * 6 * 2, &buffers.vertices,
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
  // The box's texture rectangle is the source's at this moment.
  static constexpr float kWholeTexture[4] = {0, 0, 1, 1};
  const float* rect = source_->GetTexelOffset() != nullptr ? source_->GetTexelOffset() : kWholeTexture;
  const d3dx::Vector3 corners[4] = {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};
  const float uv[4][2] = {{rect[0], rect[1]}, {rect[2], rect[1]}, {rect[2], rect[3]}, {rect[0], rect[3]}};
  auto* v = static_cast<BoxVertex*>(vertexData);
  auto* index = static_cast<uint16_t*>(indexData);
  for (uint32_t f = 0; f < kFaces; ++f) {
    const d3dx::Matrix turn = FaceTurn(f);
    const d3dx::Vector3 normal = d3dx::Vec3TransformNormal({0, 0, 1}, turn);
    for (int c = 0; c < 4; ++c) {
      const d3dx::Vector3 p = d3dx::Vec3TransformCoord(corners[c], turn);
      *v++ = {p.x, p.y, p.z, normal.x, normal.y, normal.z, uv[c][0], uv[c][1]};
    }
    const uint16_t b = uint16_t(4 * f);
    for (uint16_t i : {b, uint16_t(b + 1), uint16_t(b + 2), b, uint16_t(b + 2), uint16_t(b + 3)}) *index++ = i;
  }
  buffers.vertices->Unlock();
  buffers.indices->Unlock();
  buffers.vertexCount = kFaces * 4;
  buffers.triangleCount = kFaces * 2;
  return buffers;
}

void CubistSource::SetShapeConstants(gfx::ConstantSink& sink, const gfx::ConstantTable& table) {
  const float scale[4] = {float(params_[kWidth]) * 0.005f, float(params_[kHeight]) * 0.005f,
                          float(params_[kDepthSize]) * 0.005f, 0};
  table.SetVector(sink, table.GetConstantByName("Scale"), scale);
}

}  // namespace kestrix
