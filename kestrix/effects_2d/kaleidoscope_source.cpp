#include "effects_2d/kaleidoscope_source.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "draw_states.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 107;
constexpr int kDialog = 178;

const lv::ParamInfo kParams[KaleidoscopeSource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("CRED"), "Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("CGRN"), "Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("CBLU"), "Blue", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {-900, 900, 0, 0, lv::ChunkTag("SIZE"), "Scale", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("DSPN"), "PatSpin", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("SSPN"), "SrcSpin", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1016, KaleidoscopeSource::kTransparentKey},
    {1018, KaleidoscopeSource::kEraseOnNoteOff},
    {1023, KaleidoscopeSource::kResetEachNote},
    {1020, KaleidoscopeSource::kLooped},
    {kit::audio_box::kVolumeVelocity, KaleidoscopeSource::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, KaleidoscopeSource::kPanFollowsVelocity},
    {1021, KaleidoscopeSource::kSustainNote},
    {1025, KaleidoscopeSource::kRotateSource},
    {1022, KaleidoscopeSource::kRotatePattern},
    {1024, KaleidoscopeSource::kPulsePattern},
};

constexpr float kPi = std::numbers::pi_v<float>;
// sin(pi / 3): the height of a triangle of edge 1.
const float kRowHeight = std::sin(kPi / 3.0f);

// A vertex of the strip: position and the one-hot weight choosing one of the
// three texture points.
struct MeshVertex {
  float x, y, z;
  float w0, w1, w2;
};
static_assert(sizeof(MeshVertex) == 24);

constexpr int kVertexCount = 12;
constexpr int kIndexCount = 18;
constexpr uint16_t kIndices[kIndexCount] = {4, 0, 5, 1, 6, 2, 7, 3, 3, 4, 4, 8, 5, 9, 6, 10, 7, 11};

void MeshVertices(MeshVertex* out) {
  const struct {
    float x;
    int row;  // -1 below, 0 on, +1 above the axis
    int corner;
  } layout[kVertexCount] = {{-1, -1, 0},  {0, -1, 2},   {1, -1, 1},  {2, -1, 0}, {-1.5f, 0, 2}, {-0.5f, 0, 1},
                            {0.5f, 0, 0}, {1.5f, 0, 2}, {-1, 1, 0},  {0, 1, 2},  {1, 1, 1},    {2, 1, 0}};
  for (int i = 0; i < kVertexCount; ++i) {
    out[i] = {layout[i].x, float(layout[i].row) * kRowHeight, 1.0f, layout[i].corner == 0 ? 1.0f : 0.0f,
              layout[i].corner == 1 ? 1.0f : 0.0f, layout[i].corner == 2 ? 1.0f : 0.0f};
  }
}

gfx::VertexDeclaration* CreateMeshDeclaration(gfx::Device* device) {
  const gfx::VertexElement elements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::TexCoord, 0},
      gfx::kDeclEnd,
  };
  return CreateDeclaration(device, elements);
}

}  // namespace

const lv::ParamInfo* KaleidoscopeSource::GetParamInfo(int32_t i) { return &kParams[i]; }

bool KaleidoscopeSource::IsParamEnabled(int32_t i) {
  if (i <= 3) return (options_ & kTransparentKey) != 0;
  if (i == 8) return (options_ & kPulsePattern) == 0;
  if (i == 9) return (options_ & kRotatePattern) == 0;
  if (i == 10) return (options_ & kRotateSource) == 0;
  return true;
}

bool KaleidoscopeSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, &volume_, &pan_, &sourceName_});
}

bool KaleidoscopeSource::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, &volume_, &pan_, &sourceName_});
}

bool KaleidoscopeSource::FillMesh() {
  void* data = nullptr;
  if (gfx::Failed(vertices_->Lock(0, 0, &data, 0)) || data == nullptr) return false;
  MeshVertices(static_cast<MeshVertex*>(data));
  vertices_->Unlock();
  data = nullptr;
  if (gfx::Failed(indices_->Lock(0, 0, &data, 0)) || data == nullptr) return false;
  std::memcpy(data, kIndices, sizeof kIndices);
  indices_->Unlock();
  return true;
}

bool KaleidoscopeSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  time_ = 0;
  gfx::Device* device = host->GetDevice();
  meshDeclaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateMeshDeclaration(device));
  gfx::VertexBuffer* vertices = nullptr;
  gfx::IndexBuffer* indices = nullptr;
  if (device != nullptr) {
    device->CreateVertexBuffer(kVertexCount * sizeof(MeshVertex), gfx::usage::WriteOnly, gfx::Pool::Default,
                               &vertices);
    device->CreateIndexBuffer(sizeof kIndices, gfx::usage::WriteOnly, gfx::Format::Index16, gfx::Pool::Default,
                              &indices);
  }
  vertices_ = gfx::Ref<gfx::VertexBuffer>(vertices);
  indices_ = gfx::Ref<gfx::IndexBuffer>(indices);
  if (!meshDeclaration_ || !vertices_ || !indices_ || !FillMesh()) {
    ReleaseDeviceObjects();
    return false;
  }
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  const bool keyed = (options_ & kTransparentKey) != 0;
  pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_colorkey" : "ps_passthrough");
  if (!vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  tcx_ = FindConstant(vertexShader_.constants, "TCX");
  tcy_ = FindConstant(vertexShader_.constants, "TCY");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

void KaleidoscopeSource::ReleaseEffectObjects() {
  meshDeclaration_ = {};
  vertices_ = {};
  indices_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool KaleidoscopeSource::Configure(lv::WindowHandle owner) {
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_);
}

void KaleidoscopeSource::NoteOn() {
  if ((options_ & kResetEachNote) != 0) time_ = 0;
  keepPlaying_ = (options_ & kSustainNote) != 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void KaleidoscopeSource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void KaleidoscopeSource::Render(uint32_t milliseconds) {
  if (source_ == nullptr) {
    keepPlaying_ = false;
    return;
  }
  bool wrapped = false, newFrame = false;
  const bool advanced = source_->Advance(milliseconds, &wrapped, &newFrame);
  if (!advanced || wrapped || !source_->CanHoldNote()) keepPlaying_ = false;
  time_ += milliseconds;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr || !vertexShader_ || !pixelShader_) return;

  gfx::ConstantSink& constants = device->Constants();
  const float colour[4] = {float(params_[4]) / 255.0f, float(params_[5]) / 255.0f, float(params_[6]) / 255.0f,
                           float(params_[7]) / 255.0f};
  vertexShader_.constants->SetVector(constants, colorHandle_, colour);
  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Linear);
  const bool keyed = (options_ & kTransparentKey) != 0;
  if (keyed) {
    const ColorKey key = KeyFromKnobs(params_);
    pixelShader_.constants->SetVector(constants, keyColor_, key.color);
    pixelShader_.constants->SetFloat(constants, keyDist_, key.distance);
  }
  SetBlending(device, keyed || params_[7] != 255);
  BeginFlatDraw(device);

  float scale = float(params_[8]) / 100.0f;
  if (scale == 0.0f) scale = 0.01f;
  float patternAngle = float(params_[9]) * kPi / 360.0f;
  float sourceAngle = float(params_[10]) * kPi / 360.0f;
  const float a = float(time_) * float(int32_t(velocity) - 64) * 0.00005f;
  if ((options_ & kPulsePattern) != 0) scale = std::sin(a) + 3.0f;
  if ((options_ & kRotatePattern) != 0) patternAngle = 0.3f * a;
  if ((options_ & kRotateSource) != 0) sourceAngle = -0.6f * a;

  // The sampled triangle: three points on an ellipse round the frame's centre.
  float tcx[3], tcy[3];
  for (int i = 0; i < 3; ++i) {
    const float angle = sourceAngle + float(i) * 2.0f * kPi / 3.0f;
    tcx[i] = 0.5f + (0.98f / std::tan(kPi / 3.0f)) * std::sin(angle);
    tcy[i] = 0.5f + 0.49f * std::cos(angle);
  }
  vertexShader_.constants->SetFloatArray(constants, tcx_, tcx, 3);
  vertexShader_.constants->SetFloatArray(constants, tcy_, tcy, 3);

  device->SetVertexDeclaration(meshDeclaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, vertices_.get(), 0, sizeof(MeshVertex));
  device->SetIndices(indices_.get());
  const d3dx::Matrix view = d3dx::MatrixRotationZ(patternAngle) * d3dx::MatrixOrthoLH(scale, scale, 0.0f, 2.0f);
  const float rowSpacing = std::sqrt(3.0f);
  for (int row = 0; row < 7; ++row) {
    for (int column = 0; column < 5; ++column) {
      const d3dx::Matrix wvp =
          d3dx::MatrixTranslation(3.0f * float(column) - 6.5f, float(row - 3) * rowSpacing, 0.0f) * view;
      vertexShader_.constants->SetMatrix(constants, matWVP_, &wvp.m[0][0]);
      device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 0, kVertexCount, 0, 16);
    }
  }
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  EndFlatDraw(device);
}

}  // namespace kestrix
