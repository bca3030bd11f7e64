#include "effects_3d/cube_wall_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 145;
constexpr int kDialog = 197;
constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kBatch = CubeWallSource::kCubesPerBatch;

const lv::ParamInfo kParams[] = {
    {0, 420, 330, 0, lv::ChunkTag("DPTH"), "Depth", nullptr},
    {-720, 720, 0, 1, lv::ChunkTag("ROTA"), "Rotate", nullptr},
    {-720, 720, 0, 1, lv::ChunkTag("TILT"), "Tilt", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("SATR"), "Saturate", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1018, CubeWallSource::kEraseOnNoteOff},
    {1023, CubeWallSource::kResetEachNote},
    {1020, CubeWallSource::kLooped},
    {kit::audio_box::kVolumeVelocity, CubeWallSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, CubeWallSource::kPanFollowsVelocity},
    {1047, CubeWallSource::kProjectSource},
    {1022, CubeWallSource::kClearFrame},
    {1048, CubeWallSource::kRespondToAudio},
};

// The cube's corner with its slot in the batch in w, and its normal.
const gfx::VertexElement kLayout[] = {
    {0, 0, gfx::DeclType::Float4, gfx::DeclUsage::Position, 0},
    {0, 16, gfx::DeclType::Float3, gfx::DeclUsage::Normal, 0},
    gfx::kDeclEnd,
};

struct CubeVertex {
  float x, y, z, slot;
  float nx, ny, nz;
};
static_assert(sizeof(CubeVertex) == 28);

constexpr int kFaces = 6;
constexpr int kVerticesPerCube = kFaces * 4;
constexpr int kIndicesPerCube = kFaces * 6;

// Spectrum values each band sums, and the band's gain: the low end gets
// narrow bands. The last two bands read nothing and stay 1.
constexpr int kBandWidth[CubeWallSource::kBands] = {2,  1,  1,  2,  2,  4,  4,  8,  8,  16, 16, 32, 32,
                                                   64, 64, 64, 64, 64, 64, 64, 64, 64, 64, 0,  0};
constexpr float kBandGain[CubeWallSource::kBands] = {32, 64, 64, 32, 32, 16, 16, 8, 8, 4, 4, 2, 2,
                                                    1,  1,  1,  1,  1,  1,  1,  1, 1, 1, 0, 0};

d3dx::Matrix FaceTurn(int face) {
  if (face < 4) return d3dx::MatrixRotationY(float(face) * kPi / 2);
  return d3dx::MatrixRotationX(face == 4 ? kPi / 2 : 3 * kPi / 2);
}

}  // namespace

const lv::ParamInfo* CubeWallSource::GetParamInfo(int32_t i) { return &kParams[i]; }

void CubeWallSource::HueColour(float h, float s, float* rgb) {
  s = std::clamp(s, 0.0f, 1.0f);
  const float c = 1 - 0.75f * s;
  rgb[0] = std::clamp(c - s * std::cos(h + 2 * kPi / 3), 0.0f, 1.0f);
  rgb[1] = std::clamp(c - s * std::cos(h), 0.0f, 1.0f);
  rgb[2] = std::clamp(c - s * std::cos(h - 2 * kPi / 3), 0.0f, 1.0f);
}

bool CubeWallSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, &volume_, &pan_, &sourceName_});
}

bool CubeWallSource::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, &volume_, &pan_, &sourceName_});
}

bool CubeWallSource::CreateDeviceObjects() {
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return false;
  const bool projected = (options_ & kProjectSource) != 0;
  if (projected) {
    source_ = host->CreateSource(sourceName_.Get(), 0);
    if (source_ == nullptr) return false;
    source_->SetOption0((options_ & kLooped) != 0 ? 1 : 0);
    source_->GetInfo(&frame_);
  }
  gfx::VertexDeclaration* declaration = nullptr;
  gfx::VertexBuffer* vb = nullptr;
  gfx::IndexBuffer* ib = nullptr;
  if (gfx::Succeeded(device->CreateVertexDeclaration(kLayout, &declaration))) {
    declaration_ = gfx::Ref<gfx::VertexDeclaration>(declaration);
  }
  if (gfx::Succeeded(device->CreateVertexBuffer(kBatch * kVerticesPerCube * sizeof(CubeVertex), gfx::usage::WriteOnly,
                                                gfx::Pool::Default, &vb))) {
    vertices_ = gfx::Ref<gfx::VertexBuffer>(vb);
  }
  if (gfx::Succeeded(device->CreateIndexBuffer(kBatch * kIndicesPerCube * 2, gfx::usage::WriteOnly,
                                               gfx::Format::Index16, gfx::Pool::Default, &ib))) {
    indices_ = gfx::Ref<gfx::IndexBuffer>(ib);
  }
  void* vertexData = nullptr;
  void* indexData = nullptr;
  if (!declaration_ || !vertices_ || !indices_ || gfx::Failed(vertices_->Lock(0, 0, &vertexData, gfx::lock::None))) {
    ReleaseDeviceObjects();
    return false;
  }
  if (gfx::Failed(indices_->Lock(0, 0, &indexData, gfx::lock::None))) {
    vertices_->Unlock();
    ReleaseDeviceObjects();
    return false;
  }
  const d3dx::Vector3 corners[4] = {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};
  auto* v = static_cast<CubeVertex*>(vertexData);
  auto* index = static_cast<uint16_t*>(indexData);
  uint16_t first = 0;
  for (int slot = 0; slot < kBatch; ++slot) {
    for (int f = 0; f < kFaces; ++f) {
      const d3dx::Matrix turn = FaceTurn(f);
      const d3dx::Vector3 n = d3dx::Vec3TransformNormal({0, 0, 1}, turn);
      for (const d3dx::Vector3& corner : corners) {
        const d3dx::Vector3 p = d3dx::Vec3TransformCoord(corner, turn);
        *v++ = {p.x, p.y, p.z, float(slot), n.x, n.y, n.z};
      }
      for (int i : {0, 1, 2, 0, 2, 3}) *index++ = uint16_t(first + i);
      first = uint16_t(first + 4);
    }
  }
  vertices_->Unlock();
  indices_->Unlock();

  if (!CompileShaders(kShader, projected ? "vs_lit_projected" : "vs_lit", projected ? "ps_textured" : "ps_colored",
                      vertexShader_, pixelShader_)) {
    return false;
  }
  view_ = FindConstant(vertexShader_.constants, "View");
  viewProj_ = FindConstant(vertexShader_.constants, "ViewProj");
  cubeRot_ = FindConstant(vertexShader_.constants, "CubeRot");
  cubeTransScale_ = FindConstant(vertexShader_.constants, "CubeTransScale");
  cubeColor_ = FindConstant(vertexShader_.constants, "CubeColor");
  return true;
}

void CubeWallSource::ReleaseEffectObjects() {
  vertices_ = {};
  indices_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool CubeWallSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

void CubeWallSource::NoteOn() {
  std::fill(std::begin(bands_), std::end(bands_), 0.0f);
  std::fill(std::begin(levels_), std::end(levels_), 0.0f);
  ringIndex_ = 0;
  if ((options_ & kResetEachNote) != 0) {
    if (source_ != nullptr) source_->Restart();
    elapsed_ = 0;
  }
  if (source_ != nullptr) source_->Attach(velocity);
  AdvanceSource(0);
}

void CubeWallSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void CubeWallSource::Render(uint32_t milliseconds) {
  if (!vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  if (source_ != nullptr) {
    AdvanceSource(milliseconds);
    device->SetTexture(0, source_->GetTexture());
  }
  elapsed_ += milliseconds;
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Wrap));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Wrap));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  Draw(device);
  if (source_ != nullptr) device->SetTexture(0, nullptr);
}

void CubeWallSource::ReadSpectrum(float* saturation) {
  const float* spectrum = host->GetSpectrum();
  host->GetSpectrumLength();
  auto value = [spectrum](int i) { return spectrum != nullptr ? spectrum[i] : 0.0f; };
  int next = 0;
  for (int b = 0; b < kBands; ++b) {
    float sum = 0;
    for (int i = 0; i < kBandWidth[b]; ++i) sum += value(next + i);
    next += kBandWidth[b];
    bands_[b] = sum * kBandGain[b] * 5 * (1 + 0.04f * float(kBands - b)) + 1;
  }
  for (float& level : levels_) level *= 0.8f;
  levels_[ringIndex_] = std::log(1000 * value(16) + 1) * float(params_[kSaturate]) / 510;
  ringIndex_ = (ringIndex_ + 1) % 4;
  *saturation = 0.5f * (levels_[0] + levels_[1] + levels_[2] + levels_[3]);
}

void CubeWallSource::Draw(gfx::Device* device) {
  device->Clear(0, nullptr, gfx::clear::ZBuffer | ((options_ & kClearFrame) != 0 ? gfx::clear::Target : 0), 0, 1.0f,
                0);
  const float distance = std::pow(10.0f, float(params_[kDepth]) * 0.0046f) + 2.4142137f;
  const d3dx::Matrix view = d3dx::MatrixRotationZ(-float(params_[kRotate]) * kPi / 720) *
                            d3dx::MatrixRotationX(float(params_[kTilt]) * kPi / 720) *
                            d3dx::MatrixTranslation(0, 0, distance);
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  const float aspect = target != nullptr && target->height != 0 ? float(target->width) / float(target->height) : 1.0f;
  const d3dx::Matrix viewProj = view * d3dx::MatrixPerspectiveFovLH(kPi / 4, aspect, 0.1f, 200.0f);
  gfx::ConstantSink& constants = device->Constants();
  const gfx::ConstantTable& table = *vertexShader_.constants;
  table.SetMatrix(constants, view_, &view.m[0][0]);
  table.SetMatrix(constants, viewProj_, &viewProj.m[0][0]);

  const float alpha = float(params_[kAlpha]) / 255.0f;
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, params_[kAlpha] != 255 ? 1 : 0);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::CCW));
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, vertices_.get(), 0, sizeof(CubeVertex));
  device->SetIndices(indices_.get());

  const bool audio = (options_ & kRespondToAudio) != 0;
  float saturation = 0;
  if (audio) ReadSpectrum(&saturation);
  const float swirl = float(elapsed_) * float(64 - int32_t(velocity)) * 0.000015625f;

  float rot[kBatch][4], transScale[kBatch][4], colour[kBatch][4];
  int j = 0;
  for (int i = 0; i < kWallSide; ++i) {
    for (int k = 0; k < kWallSide; ++k) {
      const int x = k - kWallSide / 2, y = i - kWallSide / 2;
      const float a = swirl + std::atan2(float(x), float(y));
      const float a2 = 4 * std::sin(a), a3 = 3 * std::cos(a);
      rot[j][0] = std::sin(a2);
      rot[j][1] = std::cos(a2);
      rot[j][2] = std::sin(a3);
      rot[j][3] = std::cos(a3);
      float scale = 1;
      float rgba[4] = {1, 1, 1, alpha};
      if (audio) {
        // Rings round the centre; the outermost band is always 1.
        const int ring = std::min(int(std::sqrt(float(x * x + y * y))), kBands - 1);
        scale = bands_[ring];
        HueColour(swirl + 2 * bands_[ring], saturation, rgba);
      }
      transScale[j][0] = 2.5f * float(x);
      transScale[j][1] = 2.5f * float(y);
      transScale[j][2] = 0;
      transScale[j][3] = scale;
      std::copy_n(rgba, 4, colour[j]);
      if (++j == kBatch) {
        table.SetVectorArray(constants, cubeRot_, &rot[0][0], kBatch);
        table.SetVectorArray(constants, cubeTransScale_, &transScale[0][0], kBatch);
        table.SetVectorArray(constants, cubeColor_, &colour[0][0], kBatch);
        device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, kBatch * kVerticesPerCube, 0,
                                     kBatch * kFaces * 2);
        j = 0;
      }
    }
  }
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
