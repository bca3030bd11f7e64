#include "effects_2d/hsv_modify_source.h"

#include <cmath>

#include "draw_states.h"
#include "platform/gfx/device.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 109;
constexpr int kDialog = 181;

const lv::ParamInfo kParams[] = {
    {-180, 180, 0, 1, lv::ChunkTag("SHUE"), "Hue Shift", nullptr},
    {-128, 128, 0, 0, lv::ChunkTag("SSAT"), "Sat Shift", nullptr},
    {-128, 128, 0, 0, lv::ChunkTag("SVAL"), "Val Shift", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, HsvModifySource::kStretch},
    {1018, HsvModifySource::kEraseOnNoteOff},
    {1023, HsvModifySource::kResetEachNote},
    {1020, HsvModifySource::kLooped},
    {1021, HsvModifySource::kVelocityHue},
    {1022, HsvModifySource::kVelocitySaturation},
    {1024, HsvModifySource::kVelocityValue},
};

// Luminance weights of the saturation and hue matrices.
constexpr float kLumR = 0.3086f, kLumG = 0.6094f, kLumB = 0.0820f;
constexpr float kPi = 3.14159265358979f;

using M = d3dx::Matrix;

M Identity() {
  M m{};
  for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
  return m;
}

// a then b, for row vectors: a × b.
M Then(const M& a, const M& b) {
  M c{};
  for (int r = 0; r < 4; ++r)
    for (int col = 0; col < 4; ++col)
      for (int k = 0; k < 4; ++k) c.m[r][col] += a.m[r][k] * b.m[k][col];
  return c;
}

M RotateX(float s, float c) {
  M m = Identity();
  m.m[1][1] = c;
  m.m[1][2] = s;
  m.m[2][1] = -s;
  m.m[2][2] = c;
  return m;
}

M RotateY(float s, float c) {
  M m = Identity();
  m.m[0][0] = c;
  m.m[0][2] = -s;
  m.m[2][0] = s;
  m.m[2][2] = c;
  return m;
}

M RotateZ(float s, float c) {
  M m = Identity();
  m.m[0][0] = c;
  m.m[0][1] = s;
  m.m[1][0] = -s;
  m.m[1][1] = c;
  return m;
}

M ShearZ(float dx, float dy) {
  M m = Identity();
  m.m[0][2] = dx;
  m.m[1][2] = dy;
  return m;
}

// Turns hue by h about the grey axis while the luminance stays.
M HueRotation(float h) {
  const float inv2 = 1.0f / std::sqrt(2.0f);
  const float yS = -1.0f / std::sqrt(3.0f), yC = std::sqrt(2.0f / 3.0f);
  M m = Then(RotateX(inv2, inv2), RotateY(yS, yC));
  // Where the luminance direction lands: shear it onto z.
  const float lx = kLumR * m.m[0][0] + kLumG * m.m[1][0] + kLumB * m.m[2][0];
  const float ly = kLumR * m.m[0][1] + kLumG * m.m[1][1] + kLumB * m.m[2][1];
  const float lz = kLumR * m.m[0][2] + kLumG * m.m[1][2] + kLumB * m.m[2][2];
  const float zsx = lx / lz, zsy = ly / lz;
  m = Then(m, ShearZ(zsx, zsy));
  m = Then(m, RotateZ(std::sin(h), std::cos(h)));
  m = Then(m, ShearZ(-zsx, -zsy));
  m = Then(m, RotateY(-yS, yC));
  return Then(m, RotateX(-inv2, inv2));
}

}  // namespace

d3dx::Matrix HsvModifySource::ColourMatrix(float s, float h, float k) {
  M saturation = Identity();
  const float weights[3] = {kLumR, kLumG, kLumB};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) saturation.m[row][col] = (1 - s) * weights[row] + (row == col ? s : 0.0f);
  M m = Then(saturation, HueRotation(h));
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) m.m[row][col] *= k;
  for (int col = 0; col < 3; ++col) m.m[3][col] = 0.0f;
  for (int row = 0; row < 3; ++row) m.m[row][3] = 0.0f;
  m.m[3][3] = 1.0f;
  return m;
}

bool HsvModifySource::IsParamEnabled(int32_t i) {
  if (i == 0) return (options_ & kVelocityHue) == 0;
  if (i == 1) return (options_ & kVelocitySaturation) == 0;
  if (i == 2) return (options_ & kVelocityValue) == 0;
  return true;
}

const lv::ParamInfo* HsvModifySource::GetParamInfo(int32_t i) { return &kParams[ParamIndex(i)]; }

bool HsvModifySource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  half_ = HalfExtentsFor(kStretch);
  if (!CompileShaders(kShader, "vs_main", "ps_main", vertexShader_, pixelShader_)) return false;
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  hsvMatrix_ = FindConstant(pixelShader_.constants, "HSVMatrix");
  return true;
}

void HsvModifySource::ReleaseEffectObjects() {
  vertexShader_ = {};
  pixelShader_ = {};
}

bool HsvModifySource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void HsvModifySource::NoteOn() {
  timeSinceNoteOn_ = 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void HsvModifySource::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void HsvModifySource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  gfx::Device* device = nullptr;
  const gfx::SurfaceDesc* target = nullptr;
  if (!BeginFrame(milliseconds, device, target) || !vertexShader_ || !pixelShader_) return;

  const float v = float(velocity);
  float s = (options_ & kVelocitySaturation) != 0 ? v / 64.0f : float(params_[1]) / 128.0f + 1.0f;
  if (s > 1) s = (s - 1) * 4 + 1;
  const float h = (options_ & kVelocityHue) != 0 ? v * kPi / 64.0f : float(params_[0]) * kPi / 180.0f;
  float k = (options_ & kVelocityValue) != 0 ? v / 64.0f : float(params_[2]) / 128.0f + 1.0f;
  if (k > 1) k = (k - 1) * 2 + 1;
  const d3dx::Matrix colour = ColourMatrix(s, h, k);

  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  static constexpr float kWhite[4] = {1, 1, 1, 1};
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, kWhite);
  pixelShader_.constants->SetMatrix(constants, hsvMatrix_, &colour.m[0][0]);

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            SourceFilter((options_ & kStretch) != 0, sizeDiffers_));
  SetBlending(device, true);
  BeginFlatDraw(device);
  DrawQuadWith(device, declaration_.get(), vertexShader_.shader.get(), pixelShader_.shader.get(), half_,
               source_->GetTexelOffset());
  EndFlatDraw(device);
}

}  // namespace kestrix
