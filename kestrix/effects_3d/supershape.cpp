#include "effects_3d/supershape.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "effects_3d/supershape_morph.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 136;
constexpr int kDialog = 190;
constexpr int kRadioRelative = 1036;
constexpr int kRadioAbsolute = 1037;
constexpr double kPi = std::numbers::pi;

const lv::ParamInfo kParams[] = {
    {-360, 360, -180, 1, lv::ChunkTag("ROTX"), "X Rot", nullptr},
    {-360, 360, 210, 1, lv::ChunkTag("ROTY"), "Y Rot", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ROTZ"), "Z Rot", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSX"), "X Pos", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("POSY"), "Y Pos", nullptr},
    {0, 200, 100, 0, lv::ChunkTag("DPTH"), "Depth", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1016, SuperShape::kTransparentBlack},
    {1018, SuperShape::kEraseOnNoteOff},
    {1023, SuperShape::kResetEachNote},
    {1020, SuperShape::kLooped},
    {kit::audio_box::kVolumeVelocity, SuperShape::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, SuperShape::kPanFollowsVelocity},
    {1021, SuperShape::kSustain},
    {1022, SuperShape::kClearTarget},
    {1024, SuperShape::kClearDepth},
    {1087, SuperShape::kVelocitySpinX},
    {1088, SuperShape::kVelocitySpinY},
    {1095, SuperShape::kVelocitySpinZ},
    {1025, SuperShape::kShowInsideOnly},
};

constexpr float kKeyColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kKeyDistance = 0.02f;

struct PointVertex {
  float longitude[3];  // angle, sine, cosine
  float latitude[3];
  float u, v;
};

// "Relative" and "Absolute" share one bit as a pair of radio buttons.
class RotationModeRadios final : public kit::SettingsDialogExtras {
 public:
  explicit RotationModeRadios(uint32_t* options) : options_(options) {}
  void Init(window::Dialog& dialog) override {
    const bool absolute = (*options_ & SuperShape::kAbsolute) != 0;
    dialog.CheckButton(kRadioAbsolute, absolute ? window::CheckState::kChecked : window::CheckState::kUnchecked);
    dialog.CheckButton(kRadioRelative, absolute ? window::CheckState::kUnchecked : window::CheckState::kChecked);
  }
  void Apply(window::Dialog& dialog) override {
    *options_ = kit::DialogIsChecked(dialog, kRadioAbsolute) ? (*options_ | SuperShape::kAbsolute)
                                                             : (*options_ & ~SuperShape::kAbsolute);
  }

 private:
  uint32_t* options_;
};

}  // namespace

const lv::ParamInfo* SuperShape::GetParamInfo(int32_t i) { return &kParams[i]; }

bool SuperShape::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  elapsed_ = 0;
  gfx::Device* device = host->GetDevice();
  const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                         {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::Position, 1},
                                         {0, 24, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
                                         gfx::kDeclEnd};
  declaration_ = {};  // the points have their own layout, not the quad's
  bool made = device != nullptr &&
              gfx::Succeeded(device->CreateVertexDeclaration(elements, declaration_.put())) &&
              gfx::Succeeded(device->CreateVertexBuffer(kPoints * sizeof(PointVertex), gfx::usage::WriteOnly,
                                                        gfx::Pool::Default, points_.put()));
  void* locked = nullptr;
  made = made && gfx::Succeeded(points_->Lock(0, kPoints * sizeof(PointVertex), &locked, 0)) && locked != nullptr;
  if (made) {
    auto* point = static_cast<PointVertex*>(locked);
    for (int i = 0; i <= 200; ++i) {
      const double theta = -kPi + 2.0 * kPi * i / 200.0;
      for (int j = 0; j < 100; ++j, ++point) {
        const double phi = -kPi / 2.0 + 2.0 * kPi * j / 200.0;
        *point = {{float(theta), float(std::sin(theta)), float(std::cos(theta))},
                  {float(phi), float(std::sin(phi)), float(std::cos(phi))},
                  float(j) / 100.0f,
                  float(i) / 200.0f};
      }
    }
    points_->Unlock();
    vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
    const bool keyed = (options_ & kTransparentBlack) != 0;
    pixelShader_ = CompilePixelShader(host, kShader, keyed ? "ps_colorkey" : "ps_passthrough");
  }
  if (!made || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  color_ = FindConstant(vertexShader_.constants, "Color");
  aN_ = FindConstant(vertexShader_.constants, "aN");
  bN_ = FindConstant(vertexShader_.constants, "bN");
  aM_ = FindConstant(vertexShader_.constants, "aM");
  bM_ = FindConstant(vertexShader_.constants, "bM");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

void SuperShape::ReleaseEffectObjects() {
  points_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool SuperShape::Configure(lv::WindowHandle owner) {
  RotationModeRadios radios(&options_);
  return RunSettingsDialog(kDialog, owner, kCheckBoxes, &volume_, &pan_, &radios);
}

void SuperShape::NoteOn() {
  angles_[0] = angles_[1] = angles_[2] = 0.0f;
  if ((options_ & kResetEachNote) != 0) elapsed_ = 0;
  keepPlaying_ = (options_ & kSustain) != 0;
  AttachSource(kResetEachNote);
  AdvanceSource(0);
}

void SuperShape::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void SuperShape::Render(uint32_t milliseconds) {
  if (source_ == nullptr) return;
  bool wrapped = false, newFrame = false;
  if (!source_->Advance(milliseconds, &wrapped, &newFrame) || wrapped || !source_->CanHoldNote()) keepPlaying_ = false;
  elapsed_ += milliseconds;
  lastFrame_ = milliseconds;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr || !vertexShader_ || !pixelShader_) return;
  const float color[4] = {1.0f, 1.0f, 1.0f, float(params_[kAlpha]) / 255.0f};
  device->SetTexture(0, source_->GetTexture());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  Draw(device, color);
  device->SetTexture(0, nullptr);
}

void SuperShape::Draw(gfx::Device* device, const float color[4]) {
  gfx::ConstantSink& constants = device->Constants();
  const gfx::ConstantTable& table = *vertexShader_.constants;
  const SuperShapeRow shape = SuperShapeAt(elapsed_);
  const float aN[4] = {float(1.0 / shape.longitude.n1), float(shape.longitude.n2), float(shape.longitude.n3), 0.0f};
  const float bN[4] = {float(1.0 / shape.latitude.n1), float(shape.latitude.n2), float(shape.latitude.n3), 0.0f};
  table.SetVector(constants, aN_, aN);
  table.SetVector(constants, bN_, bN);
  table.SetFloat(constants, aM_, float(shape.longitude.m));
  table.SetFloat(constants, bM_, float(shape.latitude.m));

  uint32_t clear = 0;
  if ((options_ & kClearTarget) != 0) clear |= gfx::clear::Target;
  if ((options_ & kClearDepth) != 0) clear |= gfx::clear::ZBuffer;
  if (clear != 0) device->Clear(0, nullptr, clear, 0, 1.0f, 0);

  // Each axis turns by its parameter: with time and velocity, set outright,
  // or a step every frame; ±360 is ±π.
  constexpr float k = -std::numbers::pi_v<float> / 360.0f;
  const uint32_t spinBits[3] = {kVelocitySpinX, kVelocitySpinY, kVelocitySpinZ};
  const int32_t rotations[3] = {params_[kRotX], params_[kRotY], params_[kRotZ]};
  for (int axis = 0; axis < 3; ++axis) {
    const float p = float(rotations[axis]) * k;
    if ((options_ & spinBits[axis]) != 0) {
      angles_[axis] += p * float(lastFrame_) * float(64 - int(velocity)) / 32000.0f;
    } else if ((options_ & kAbsolute) != 0) {
      angles_[axis] = p;
    } else {
      angles_[axis] += 0.1f * p;
    }
  }
  const d3dx::Matrix world =
      d3dx::MatrixRotationX(angles_[0]) * d3dx::MatrixRotationZ(angles_[2]) * d3dx::MatrixRotationY(angles_[1]);
  const int32_t depth = params_[kDepth];
  const float distance = depth >= 100 ? -std::pow(10.0f, float(depth - 100) * 0.02f) - 2.4142137f
                                      : float(depth) * -0.034142137f;
  const float x = -0.01f * float(params_[kPosX]), y = 0.01f * float(params_[kPosY]);
  const d3dx::Matrix view = d3dx::MatrixLookAtLH({x, y, distance}, {x, y, 1.0f}, {0.0f, 1.0f, 0.0f});
  const d3dx::Matrix projection = d3dx::MatrixPerspectiveFovLH(std::numbers::pi_v<float> / 4.0f, 1.333f, 0.1f, 400.0f);
  const d3dx::Matrix wvp = world * view * projection;
  table.SetMatrix(constants, matWVP_, &wvp.m[0][0]);
  table.SetVector(constants, color_, color);

  const bool keyed = (options_ & kTransparentBlack) != 0;
  if (keyed) {
    pixelShader_.constants->SetVector(constants, keyColor_, kKeyColor);
    pixelShader_.constants->SetFloat(constants, keyDist_, kKeyDistance);
  }
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, keyed || params_[kAlpha] != 255 ? 1 : 0);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, points_.get(), 0, sizeof(PointVertex));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->DrawPrimitive(gfx::PrimitiveType::PointList, 0, kPoints);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

bool SuperShape::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, &volume_, &pan_, &sourceName_});
}

bool SuperShape::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, &volume_, &pan_, &sourceName_});
}

}  // namespace kestrix
