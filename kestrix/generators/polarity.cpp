#include "generators/polarity.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "generators/polarity_strip.h"
#include "option_boxes_dialog.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 150;
constexpr int kDialog = 250;
constexpr int kEraseBox = 1018;

const lv::ParamInfo kParams[] = {
    {-400, 400, 0, 0, lv::ChunkTag("CENX"), "CenterX", nullptr},
    {-400, 400, 0, 0, lv::ChunkTag("CENY"), "CenterY", nullptr},
    {1, 16, 0, 0, lv::ChunkTag("RNGS"), "Rings", nullptr},
    {0, 400, 0, 0, lv::ChunkTag("MOVE"), "Movement", nullptr},
    {0, 400, 0, 0, lv::ChunkTag("COLR"), "Color", nullptr},
};

// 1 / p of an event with chance p = 1 / (400 - floor(2 v / 3)).
int OneIn(int32_t value) { return 400 - (2 * value) / 3; }

template <class T>
bool Fill(T* buffer, const void* data, uint32_t size) {
  void* locked = nullptr;
  if (gfx::Failed(buffer->Lock(0, size, &locked, 0)) || locked == nullptr) return false;
  std::memcpy(locked, data, size);
  buffer->Unlock();
  return true;
}

}  // namespace

Polarity::Polarity() : Generator(kEraseOnNoteOff) { arcs_.reserve(kArcs); }

Polarity::~Polarity() = default;

const lv::ParamInfo* Polarity::GetParamInfo(int32_t i) { return &kParams[i]; }

void Polarity::SetParam(int32_t i, int32_t value) {
  params_[i] = value;
  if (i == kMovement) SetMovementFractions();
  if (i == kColor) SetColorFractions();
}

void Polarity::SetMovementFractions() {
  // Movement stays below 410: the fraction never divides by zero in range.
  const float c = 1.0f / float(std::max(410 - params_[kMovement], 1));
  for (Arc& arc : arcs_) arc.start.c = arc.length.c = arc.speed.c = c;
}

void Polarity::SetColorFractions() {
  const float c = 1.0f / float(std::max(420 - params_[kColor], 1));
  for (Arc& arc : arcs_) arc.hue.c = c;
}

float Polarity::RandomSpeed() const { return (RandomUnit() * 2.0f - 1.0f) * 0.01f * float(params_[kMovement]); }

bool Polarity::CreateDeviceObjects() {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  if (device == nullptr) return false;
  const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Short4N, gfx::DeclUsage::Position, 0}, gfx::kDeclEnd};
  const auto vertices = PolarityStripVertices();
  const auto indices = PolarityStripIndices();
  const bool made =
      gfx::Succeeded(device->CreateVertexDeclaration(elements, declaration_.put())) &&
      gfx::Succeeded(device->CreateVertexBuffer(sizeof vertices, gfx::usage::WriteOnly, gfx::Pool::Default,
                                                vertices_.put())) &&
      gfx::Succeeded(device->CreateIndexBuffer(sizeof indices, gfx::usage::WriteOnly, gfx::Format::Index16,
                                               gfx::Pool::Default, indices_.put())) &&
      Fill(vertices_.get(), vertices.data(), sizeof vertices) && Fill(indices_.get(), indices.data(), sizeof indices);
  if (made) {
    vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
    pixelShader_ = CompilePixelShader(host, kShader, "ps_main");
  }
  if (!made || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  center_ = FindConstant(vertexShader_.constants, "Center");
  color_ = FindConstant(vertexShader_.constants, "Color");
  radiusWidth_ = FindConstant(vertexShader_.constants, "RadiusWidth");
  angles_ = FindConstant(vertexShader_.constants, "Angles");
  return true;
}

void Polarity::ReleaseDeviceObjects() {
  declaration_ = {};
  vertices_ = {};
  indices_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool Polarity::Configure(lv::WindowHandle owner) {
  const OptionBox erase[] = {{kEraseBox, kEraseOnNoteOff}};
  return RunOptionBoxesDialog(owner, kDialog, erase, options_);
}

void Polarity::NoteOn() {
  elapsed_ = 0;
  radius_.Hold(100.0f);
  radius_.c = 0.00625f;
  width_.Hold(70.0f);
  width_.c = 0.01f;
  // A note that starts again before its note off starts with fresh arcs.
  arcs_.clear();
  for (int i = 0; i < kArcs; ++i) {
    Arc arc;
    arc.start.Hold(14.0f * RandomUnit() - 7.0f);
    arc.length.Hold(6.0f * RandomUnit());
    arc.speed.Hold(RandomSpeed());
    arc.x.Hold(float(params_[kCenterX]));
    arc.y.Hold(float(params_[kCenterY]));
    arc.x.c = arc.y.c = 0.0625f;
    arc.hue.Hold(12.0f * RandomUnit() - 6.0f);
    arcs_.push_back(arc);
  }
  SetMovementFractions();
  SetColorFractions();
}

void Polarity::NoteOff() {
  if ((options_ & kEraseOnNoteOff) != 0 && host != nullptr) {
    if (gfx::Device* device = host->GetDevice()) device->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
  }
  arcs_.clear();
}

void Polarity::Render(uint32_t milliseconds) {
  elapsed_ += milliseconds;
  if (!vertexShader_ || !pixelShader_ || host == nullptr) return;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr || target->height == 0) return;

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, vertices_.get(), 0, sizeof(PolarityVertex));
  device->SetIndices(indices_.get());

  // The screen is 500 units high with 0, 0 in the centre.
  gfx::ConstantSink& constants = device->Constants();
  const gfx::ConstantTable& table = *vertexShader_.constants;
  const d3dx::Matrix projection = d3dx::MatrixOrthoLH(500.0f * float(target->width) / float(target->height), 500.0f,
                                                      0.0f, 2.0f);
  table.SetMatrix(constants, matWVP_, &projection.m[0][0]);

  const int moveOneIn = OneIn(params_[kMovement]);
  const int colorOneIn = OneIn(params_[kColor]);
  radius_.Step();
  if (RandomChance(moveOneIn)) radius_.SetTarget(50.0f + 200.0f * RandomUnit());
  width_.Step();
  if (RandomChance(moveOneIn)) width_.SetTarget(30.0f + 370.0f * RandomUnit());

  const int rings = std::clamp(params_[kRings], 1, kArcs);
  const float h = width_.current / float(rings);
  const float width = (h - 2.0f) * 0.5f;
  float radius = radius_.current - 0.5f * width_.current + 0.5f * h;

  // The centre ripples outwards one arc a frame.
  for (size_t i = arcs_.size(); i-- > 1;) {
    arcs_[i].x.SetTarget(arcs_[i - 1].x.target);
    arcs_[i].y.SetTarget(arcs_[i - 1].y.target);
  }
  if (!arcs_.empty()) {
    arcs_[0].x.SetTarget(float(params_[kCenterX]));
    arcs_[0].y.SetTarget(float(params_[kCenterY]));
  }

  constexpr float kThird = 2.0f * std::numbers::pi_v<float> / 3.0f;
  for (size_t i = 0; i < arcs_.size(); ++i) {
    Arc& arc = arcs_[i];
    for (AnimatedValue* value : {&arc.x, &arc.y, &arc.start, &arc.length, &arc.speed, &arc.hue}) value->Step();
    if (RandomChance(moveOneIn)) arc.start.SetTarget(14.0f * RandomUnit() - 7.0f);
    if (RandomChance(moveOneIn)) arc.length.SetTarget(6.2f * RandomUnit());
    if (RandomChance(moveOneIn)) arc.speed.SetTarget(RandomSpeed());
    if (RandomChance(colorOneIn)) arc.hue.SetTarget(12.56f * RandomUnit() - 6.28f);
    arc.rotation += (float(milliseconds) * 0.001f) * arc.speed.current;
    if (int(i) >= rings) continue;

    const float hue = arc.hue.current;
    const float center[4] = {arc.x.current, arc.y.current, 0.0f, 0.0f};
    const float color[4] = {std::clamp(1.0f - std::cos(hue + kThird), 0.0f, 1.0f),
                            std::clamp(1.0f - std::cos(hue), 0.0f, 1.0f),
                            std::clamp(1.0f - std::cos(hue - kThird), 0.0f, 1.0f), 1.0f};
    const float radiusWidth[4] = {radius, width, 0.0f, 0.0f};
    radius += h;
    const float begin = arc.start.current + arc.rotation;
    const float angles[4] = {begin, begin + arc.length.current, 0.0f, 0.0f};
    table.SetVector(constants, center_, center);
    table.SetVector(constants, color_, color);
    table.SetVector(constants, radiusWidth_, radiusWidth);
    table.SetVector(constants, angles_, angles);
    device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 0, kPolarityVertices, 0, kPolarityTriangles);
  }

  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
