#include "generators/rays_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "option_boxes_dialog.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 149;
constexpr int kDialog = 200;
constexpr float kPi = std::numbers::pi_v<float>;

// The boxes OK reads back; "Respond to Audio" (1048) is shown and never read.
constexpr OptionBox kOptionBoxes[] = {{1018, RaysGenerator::kEraseOnNoteOff},
                    {1023, RaysGenerator::kRandomizeEachNote},
                    {1022, RaysGenerator::kClearEachFrame},
                    {1024, RaysGenerator::kManual}};

// The second circle's three values have tags of their own, so modulation
// bindings on them come back to them; Angle2 reaches down to its starting
// value of -150.
const lv::ParamInfo kParams[] = {
    {0, 500, 0, 0, lv::ChunkTag("RAYS"), "Rays", nullptr},
    {0, 100, 0, 0, lv::ChunkTag("SPED"), "Speed", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("BRI1"), "Bright1", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("SIZ1"), "Size1", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("BRI2"), "Bright2", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("SIZ2"), "Size2", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("ROLL"), "RollRate", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("SEPA"), "Split", nullptr},
    {0, 500, 0, 1, lv::ChunkTag("HUE1"), "Hue1", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("RAD1"), "Radius1", nullptr},
    {0, 500, 0, 1, lv::ChunkTag("ANG1"), "Angle1", nullptr},
    {0, 500, 0, 1, lv::ChunkTag("HUE2"), "Hue2", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("RAD2"), "Radius2", nullptr},
    {-500, 500, 0, 1, lv::ChunkTag("ANG2"), "Angle2", nullptr},
};

struct RayVertex {
  float x, y, z;
  uint32_t color;  // ARGB
};

// The ray colour of hue `h` over the alpha base `base`.
uint32_t RayColor(uint32_t base, float h) {
  auto channel = [](float v) { return uint32_t(std::clamp((1.0f - std::cos(v)) * 255.0f, 0.0f, 255.0f)); };
  return base + channel(h + 2.0f * kPi / 3.0f) * 65536 + channel(h) * 256 + channel(h - 2.0f * kPi / 3.0f);
}

float Uniform(float range) { return -range + 2.0f * range * RandomUnit(); }

}  // namespace

const lv::ParamInfo* RaysGenerator::GetParamInfo(int32_t i) { return &kParams[i]; }

bool RaysGenerator::IsParamEnabled(int32_t i) { return (options_ & kManual) != 0 ? i != kSpeed : i <= kSize2; }

void RaysGenerator::SetParam(int32_t i, int32_t value) {
  params_[i] = value;
  if (i == kSpeed) SetStepFractions();
}

void RaysGenerator::SetStepFractions() {
  const float a = float(100 - params_[kSpeed]) * 0.01f;
  // Above the range the fractions would pass 1 and overshoot; keep them sane.
  auto fraction = [](float denominator) { return 1.0f / std::max(denominator, 1.0f); };
  rollRate_.c = fraction(512.0f * a + 64.0f);
  separation_.c = fraction(256.0f * a + 64.0f);
  a_.radius.c = b_.radius.c = a_.angle.c = b_.angle.c = fraction(400.0f * a + 100.0f);
  a_.hue.c = b_.hue.c = fraction(600.0f * a + 200.0f);
}

void RaysGenerator::Randomize() {
  const float s = float(params_[kSpeed]) * 0.01f;
  roll_ = 12.0f * RandomUnit() - 6.0f;
  rollRate_.SetTarget(Uniform(0.05f * s));
  separation_.current = 0.7f * RandomUnit() - 0.35f;
  separation_.SetTarget(0.7f * RandomUnit() - 0.35f);
  for (Circle* circle : {&a_, &b_}) {
    circle->radius.current = 3.0f * RandomUnit() - 1.5f;
    circle->radius.SetTarget(3.0f * RandomUnit() - 1.5f);
    circle->angle.current = 12.0f * RandomUnit() - 6.0f;
    circle->angle.SetTarget(12.0f * RandomUnit() - 6.0f);
    circle->hue.current = 6.0f * RandomUnit();
    circle->hue.SetTarget(6.0f * RandomUnit());
  }
}

bool RaysGenerator::CreateDeviceObjects() {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  if (device == nullptr) return false;
  const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                         {0, 12, gfx::DeclType::Color, gfx::DeclUsage::Color, 0},
                                         gfx::kDeclEnd};
  if (gfx::Succeeded(device->CreateVertexDeclaration(elements, declaration_.put()))) {
    vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
    pixelShader_ = CompilePixelShader(host, kShader, "ps_main");
  }
  if (!declaration_ || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  color_ = FindConstant(vertexShader_.constants, "Color");
  Randomize();
  SetStepFractions();
  return true;
}

void RaysGenerator::ReleaseDeviceObjects() {
  declaration_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool RaysGenerator::Configure(lv::WindowHandle owner) {
  return RunOptionBoxesDialog(owner, kDialog, kOptionBoxes, options_);
}

void RaysGenerator::NoteOn() {
  if ((options_ & kRandomizeEachNote) != 0) Randomize();
}

void RaysGenerator::NoteOff() {
  if ((options_ & kEraseOnNoteOff) != 0 && host != nullptr) {
    if (gfx::Device* device = host->GetDevice()) device->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
  }
}

void RaysGenerator::Render(uint32_t milliseconds) {
  lastFrame_ = milliseconds;
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  const gfx::SurfaceDesc* target = host != nullptr ? host->GetBackBufferDesc() : nullptr;
  const bool drawable = device != nullptr && target != nullptr && vertexShader_ && pixelShader_;
  if (drawable && (options_ & kClearEachFrame) != 0) device->Clear(0, nullptr, gfx::clear::Target, 0, 1.0f, 0);

  // The motion goes on whether or not there is anything to draw on.
  roll_ += (options_ & kManual) != 0 ? float(params_[kRollRate]) * 0.00033333333f : rollRate_.current;
  for (AnimatedValue* value : {&rollRate_, &separation_, &a_.radius, &b_.radius, &a_.angle, &b_.angle, &a_.hue, &b_.hue})
    value->Step();
  const float s = float(params_[kSpeed]) * 0.01f;
  if ((std::rand() & 511) == 0) rollRate_.SetTarget(Uniform(0.05f * s));
  if ((std::rand() & 511) == 0) separation_.SetTarget(0.7f * RandomUnit() - 0.35f);
  for (Circle* circle : {&a_, &b_})
    if (RandomChance(250)) circle->radius.SetTarget(3.0f * RandomUnit() - 1.5f);
  for (Circle* circle : {&a_, &b_})
    if (RandomChance(300)) circle->angle.SetTarget(12.0f * RandomUnit() - 6.0f);
  for (Circle* circle : {&a_, &b_})
    if (RandomChance(700)) circle->hue.SetTarget(6.0f * RandomUnit());

  if (!drawable) return;
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::One));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  gfx::ConstantSink& constants = device->Constants();
  const d3dx::Matrix ortho = d3dx::MatrixOrthoLH(float(target->width), float(target->height), 0.0f, 2.0f);
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  vertexShader_.constants->SetMatrix(constants, matWVP_, &ortho.m[0][0]);
  vertexShader_.constants->SetVector(constants, color_, white);
  DrawRays(float(target->height));

  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
}

void RaysGenerator::DrawRays(float height) {
  const bool manual = (options_ & kManual) != 0;
  const float separation = height * (manual ? float(params_[kSplit]) * 0.002f : separation_.current);
  const float radiusA = height * (manual ? float(params_[kRadius1]) * 0.002f : a_.radius.current);
  const float radiusB = height * (manual ? float(params_[kRadius2]) * 0.002f : b_.radius.current);
  const float angleA = manual ? float(params_[kAngle1]) * 0.012f : a_.angle.current;
  const float angleB = manual ? float(params_[kAngle2]) * 0.012f : b_.angle.current;
  const float hueA = manual ? float(params_[kHue1]) * 0.012f : a_.hue.current;
  const float hueB = manual ? float(params_[kHue2]) * 0.012f : b_.hue.current;

  const uint32_t colorA = RayColor(uint32_t(std::clamp(params_[kBright1], 0, 255)) << 24, hueA);
  const uint32_t colorB = RayColor(uint32_t(std::clamp(params_[kBright2], 0, 255)) << 24, hueB);
  const float halfWidthA = float(params_[kSize1]) * 0.1f;
  const float halfWidthB = float(params_[kSize2]) * 0.1f;
  const float c1x = separation * std::sin(roll_), c1y = separation * std::cos(roll_);

  // A bound or loaded count beyond the range stays within the ray budget.
  const int32_t rays = std::clamp(params_[kRays], 0, kMaxRays);
  if (rays == 0) return;
  const float step = 2.0f * kPi / float(rays);
  static constexpr uint16_t kIndices[24] = {2, 6, 4, 4, 0, 2, 0, 4, 7, 7, 3, 0, 2, 0, 1, 1, 0, 3, 6, 5, 4, 4, 5, 7};
  gfx::Device* device = host->GetDevice();
  for (int32_t i = 0; i < rays; ++i) {
    const float ax = c1x + radiusA * std::sin(angleA + float(i) * step);
    const float ay = c1y + radiusA * std::cos(angleA + float(i) * step);
    const float bx = -c1x + radiusB * std::sin(angleB + float(i) * step);
    const float by = -c1y + radiusB * std::cos(angleB + float(i) * step);
    const float dx = bx - ax, dy = by - ay;
    const float length = std::sqrt(dx * dx + dy * dy);
    // A ray whose ends meet has no direction to give it a width.
    if (!(length > 1e-6f)) continue;
    const float uax = dx * halfWidthA / length, uay = dy * halfWidthA / length;
    const float ubx = dx * halfWidthB / length, uby = dy * halfWidthB / length;
    const RayVertex vertices[8] = {
        {ax, ay, 0.5f, colorA},       {ax - uax, ay - uay, 0.5f, 0}, {ax + uay, ay - uax, 0.5f, 0},
        {ax - uay, ay + uax, 0.5f, 0}, {bx, by, 0.5f, colorB},       {bx + ubx, by + uby, 0.5f, 0},
        {bx + uby, by - ubx, 0.5f, 0}, {bx - uby, by + ubx, 0.5f, 0},
    };
    device->DrawIndexedPrimitiveUP(gfx::PrimitiveType::TriangleList, 0, 8, 8, kIndices, gfx::Format::Index16, vertices,
                                   sizeof(RayVertex));
  }
}

}  // namespace kestrix
