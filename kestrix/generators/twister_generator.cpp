#include "generators/twister_generator.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>

#include "generators/twister_outline.h"
#include "option_boxes_dialog.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 143;
constexpr int kDialog = 144;
constexpr float kTurnToRadians = 0.0007669904f;  // 2 pi / 8192
constexpr float kPi = std::numbers::pi_v<float>;

// Fixed tuning of the motion.
constexpr float kYawRateBase = 250, kRollRateBase = 300, kTwistRangeBase = 8000, kTwistStepBase = 600;
constexpr float kSpinBases[3] = {700, 300, 300};
constexpr int kSpinChangeOdds = 128;

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("ERAS"), "Erase", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("LNTH"), "Length", nullptr},
    {0, 200, 0, 0, lv::ChunkTag("SPED"), "Speed", nullptr},
};

constexpr OptionBox kOptionBoxes[] = {{1018, TwisterGenerator::kEraseOnNoteOff}, {1023, TwisterGenerator::kRandomizeEachNote},
                    {1024, TwisterGenerator::kClearDepth},     {1025, TwisterGenerator::kExtraMesh},
                    {1048, TwisterGenerator::kRespondToAudio}, {1049, TwisterGenerator::kShiny}};

float Uniform(float range) { return -range + 2.0f * range * RandomUnit(); }


bool Idle(const AnimatedValue& value) { return value.counter == 0; }


gfx::Result BuildMesh(gfx::Device* device, int i, std::unique_ptr<d3dx::Mesh>* mesh) {
  switch (i) {
    case 0: return d3dx::CreatePolygon(device, 1.5f, 3, mesh);
    case 1: return d3dx::CreatePolygon(device, 1.0f, 4, mesh);
    case 2: return d3dx::CreatePolygon(device, 1.0f, 5, mesh);
    case 3: return d3dx::CreatePolygon(device, 1.0f, 6, mesh);
    case 4: return d3dx::CreateBox(device, 1.0f, 1.0f, 1.0f, mesh);
    case 5: return d3dx::CreateSphere(device, 1.0f, 5, 4, mesh);
    case 6: return d3dx::CreateSphere(device, 1.0f, 12, 24, mesh);
    case 7: return d3dx::CreateTorus(device, 0.5f, 1.0f, 12, 24, mesh);
    case 8: return d3dx::CreateTorus(device, 0.5f, 1.0f, 3, 4, mesh);
    case 9: return d3dx::CreateTorus(device, 0.5f, 1.0f, 4, 6, mesh);
    case 10: return d3dx::CreateTorus(device, 0.5f, 1.0f, 8, 8, mesh);
    case 11: return d3dx::CreateCylinder(device, 0.5f, 0.5f, 2.0f, 24, 1, mesh);
    case 12: return d3dx::CreateCylinder(device, 0.5f, 0.5f, 2.0f, 6, 1, mesh);
    default: return d3dx::CreateTeapot(device, mesh);  // the shape the extra-mesh option names
  }
}

}  // namespace


TwisterGenerator::TwisterGenerator() : Generator(27) {
  SetSpeedRanges();
  SetTwistRanges();
}

TwisterGenerator::~TwisterGenerator() { ReleaseDeviceObjects(); }

const lv::ParamInfo* TwisterGenerator::GetParamInfo(int32_t i) { return &kParams[i]; }

void TwisterGenerator::SetParam(int32_t i, int32_t value) {
  params_[i] = value;
  if (i == kLength) SetTwistRanges();
  if (i == kSpeed) SetSpeedRanges();
}

void TwisterGenerator::SetSpeedRanges() {
  float x = float(params_[kSpeed]) * 0.001f;
  if (params_[kSpeed] > 100) x *= 2.0f;
  yawRateRange_ = kYawRateBase * x;
  rollRateRange_ = kRollRateBase * x;
  for (int k = 0; k < 3; ++k) spinRanges_[k] = kSpinBases[k] * x;
}

void TwisterGenerator::SetTwistRanges() {
  // Length 0 draws nothing; its ranges are those of Length 1.
  const float length = float(std::max(params_[kLength], 1));
  twistRange_ = kTwistRangeBase * 32.0f / length;
  twistStep_ = kTwistStepBase * 32.0f / length;
}

int TwisterGenerator::RandomMesh() const { return std::rand() % ((options_ & kExtraMesh) != 0 ? 14 : 13); }

void TwisterGenerator::ApplyTwist(float amount) {
  for (TwisterSegment& segment : *segments_) segment.twist.SetTarget(float(segment.index) * amount);
}

void TwisterGenerator::Reset() {
  TwisterChain& chain = *segments_;
  const int mesh = RandomMesh();
  LinkTwisterChain(chain);
  for (TwisterSegment& segment : chain) {
    segment.hue.SetTarget(0.0f);
    segment.brightness.SetTarget(0.0f);
    segment.saturation.SetTarget(0.0f);
    segment.mesh = mesh;
  }
  std::srand(unsigned(std::time(nullptr)));
  sceneYaw_ = 0.0f;
  SetTwistRanges();
  yawRate_.SetTarget(Uniform(yawRateRange_));
  yawRate_.c = 1.0f / 128;
  sceneRoll_ = 0.0f;
  rollRate_.SetTarget(Uniform(rollRateRange_));
  rollRate_.c = 1.0f / 128;
  twistDirection_ = -1.0f;
  radiusMagnitude_ = 30.0f;
  radiusSign_ = 1.0f;
  heightMagnitude_ = 100.0f;
  heightSign_ = 1.0f;
  twistAmount_ = RandomUnit() * twistStep_;
  for (int k = 0; k < 3; ++k) spinRates_[k] = Uniform(spinRanges_[k]);
  ApplyTwist(twistAmount_);
  TwisterSegment& top = chain[0];
  top.scale.SetTarget(2.5f + RandomUnit() * (12.0f - 2.5f));
  top.radius.SetTarget(30.0f);
  top.spinYawRate = spinRates_[0];
  top.spinPitchRate = spinRates_[1];
  top.spinRollRate = spinRates_[2];
  top.yawPass = top.pitchPass = top.rollPass = 1;
  top.hue.SetTarget(RandomUnit());
  top.brightness.SetTarget(RandomUnit());
  top.saturation.SetTarget(RandomUnit());
  sides_ = previousSides_ = kTwisterCircle;
  star_ = previousStar_ = false;
  wobbleMode_ = false;
  morph_.current = morph_.target = 1.0f;
  morph_.c = 0.005f;
}

bool TwisterGenerator::CreateDeviceObjects() {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  if (device == nullptr) return false;
  const gfx::VertexElement elements[] = {{0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
                                         {0, 12, gfx::DeclType::Float3, gfx::DeclUsage::Normal, 0},
                                         gfx::kDeclEnd};
  bool made = gfx::Succeeded(device->CreateVertexDeclaration(elements, declaration_.put()));
  // Drawing needs every mesh: a shape that cannot be built fails the whole.
  for (int i = 0; made && i < kMeshes; ++i) made = gfx::Succeeded(BuildMesh(device, i, &meshes_[size_t(i)]));
  if (made) {
    const bool shiny = (options_ & kShiny) != 0;
    objectVertexShader_ = CompileVertexShader(host, kShader, shiny ? "vs_lit_shiny" : "vs_lit");
    objectPixelShader_ = CompilePixelShader(host, kShader, shiny ? "ps_shiny" : "ps_passthrough");
    eraseVertexShader_ = CompileVertexShader(host, kShader, "vs_lit");
    erasePixelShader_ = CompilePixelShader(host, kShader, "ps_passthrough");
  }
  if (made) segments_.reset(new (std::nothrow) TwisterChain());
  if (!made || !objectVertexShader_ || !objectPixelShader_ || !eraseVertexShader_ || !erasePixelShader_ ||
      !segments_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(objectVertexShader_.constants, "matWVP");
  matView_ = FindConstant(objectVertexShader_.constants, "matView");
  color_ = FindConstant(objectVertexShader_.constants, "Color");
  eraseMatWVP_ = FindConstant(eraseVertexShader_.constants, "matWVP");
  eraseMatView_ = FindConstant(eraseVertexShader_.constants, "matView");
  eraseColor_ = FindConstant(eraseVertexShader_.constants, "Color");
  Reset();
  return true;
}

void TwisterGenerator::ReleaseDeviceObjects() {
  for (auto& mesh : meshes_) mesh.reset();
  segments_.reset();
  declaration_ = {};
  objectVertexShader_ = {};
  objectPixelShader_ = {};
  eraseVertexShader_ = {};
  erasePixelShader_ = {};
}

bool TwisterGenerator::Configure(lv::WindowHandle owner) {
  return RunOptionBoxesDialog(owner, kDialog, kOptionBoxes, options_);
}

void TwisterGenerator::NoteOn() {
  if ((options_ & kRandomizeEachNote) != 0 && segments_) Reset();
}

void TwisterGenerator::NoteOff() {
  if ((options_ & kEraseOnNoteOff) != 0 && host != nullptr) {
    if (gfx::Device* device = host->GetDevice()) device->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
  }
}

float TwisterGenerator::SegmentRadius(const TwisterSegment& segment) const {
  const float r = segment.radius.current, t = segment.twist.current;
  const float a = TwisterOutlineRadius(previousSides_, previousStar_, r, t);
  const float b = TwisterOutlineRadius(sides_, star_, r, t);
  return a + (b - a) * morph_.current;
}

void TwisterGenerator::DrawSegment(gfx::Device* device, const TwisterSegment& segment, const d3dx::Matrix& scene,
                                   const d3dx::Matrix& viewProjection, const d3dx::Matrix& view) {
  const int32_t length = std::clamp(params_[kLength], 0, kSegments);
  const int32_t half = length / 2;
  const float y = length < 2 ? 0.0f : float(half - segment.index) / float(half) * segment.height.current;
  const float k = audioScale_ * segment.scale.current;
  const d3dx::Matrix world =
      d3dx::MatrixScaling(k, k, k) *
      d3dx::MatrixRotationYawPitchRoll(segment.spinYaw * kTurnToRadians, segment.spinPitch * kTurnToRadians,
                                       segment.spinRoll * kTurnToRadians) *
      d3dx::MatrixTranslation(SegmentRadius(segment), y, 0.0f) *
      d3dx::MatrixRotationY(segment.twist.current * kTurnToRadians) *
      d3dx::MatrixRotationZ(segment.wobble.current * kTurnToRadians) * scene;

  const float h = segment.hue.current, b = segment.brightness.current, s = segment.saturation.current;
  const float shade = TwisterDepthShade(world.m[3][2]);
  const float color[4] = {std::clamp(b - s * std::cos(kPi * h + 2.0f * kPi / 3.0f), 0.0f, 1.0f) * shade,
                          std::clamp(b - s * std::cos(kPi * h), 0.0f, 1.0f) * shade,
                          std::clamp(b - s * std::cos(kPi * h - 2.0f * kPi / 3.0f), 0.0f, 1.0f) * shade, 1.0f};
  gfx::ConstantSink& constants = device->Constants();
  const gfx::ConstantTable& table = *objectVertexShader_.constants;
  const d3dx::Matrix wvp = world * viewProjection;
  table.SetMatrix(constants, matWVP_, &wvp.m[0][0]);
  if (matView_) {
    const d3dx::Matrix worldView = world * view;
    table.SetMatrix(constants, matView_, &worldView.m[0][0]);
  }
  table.SetVector(constants, color_, color);

  d3dx::Mesh& mesh = *meshes_[size_t(std::clamp(segment.mesh, 0, kMeshes - 1))];
  gfx::VertexBuffer* vertices = nullptr;
  gfx::IndexBuffer* indices = nullptr;
  if (gfx::Succeeded(mesh.GetVertexBuffer(&vertices)) && gfx::Succeeded(mesh.GetIndexBuffer(&indices))) {
    device->SetStreamSource(0, vertices, 0, mesh.GetNumBytesPerVertex());
    device->SetIndices(indices);
    device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, mesh.GetNumVertices(), 0,
                                 mesh.GetNumFaces());
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
  }
  if (vertices != nullptr) vertices->Release();
  if (indices != nullptr) indices->Release();
}


void TwisterGenerator::RandomEvents() {
  TwisterSegment& top = (*segments_)[0];
  if (RandomChance(128)) rollRate_.SetTarget(Uniform(rollRateRange_));
  if (RandomChance(256)) yawRate_.SetTarget(Uniform(yawRateRange_));
  if (RandomChance(2048) && top.meshPass == 0) {
    top.mesh = RandomMesh();
    top.meshPass = 1;
  }
  if (RandomChance(64) && Idle(top.hue)) top.hue.SetTarget(4.0f * RandomUnit() - 2.0f);
  if (RandomChance(64) && Idle(top.brightness)) top.brightness.SetTarget(RandomUnit());
  if (RandomChance(64) && Idle(top.saturation)) top.saturation.SetTarget(0.3f + 0.7f * RandomUnit());
  if (RandomChance(512)) {
    previousTwistAmount_ = twistAmount_;
    const float candidate = RandomUnit() * twistRange_;
    twistAmount_ = std::clamp(candidate, previousTwistAmount_ - twistStep_, previousTwistAmount_ + twistStep_);
    ApplyTwist(twistDirection_ * twistAmount_);
  }
  if (twistAmount_ < twistStep_ && RandomChance(8192)) {
    twistDirection_ = -twistDirection_;
    ApplyTwist(twistDirection_ * twistAmount_);
  }
  if (RandomChance(kSpinChangeOdds) && top.yawPass == 0) {
    for (int k = 0; k < 3; ++k) spinRates_[k] = Uniform(spinRanges_[k]);
    top.spinYawRate = spinRates_[0];
    top.spinPitchRate = spinRates_[1];
    top.spinRollRate = spinRates_[2];
    top.yawPass = top.pitchPass = top.rollPass = 1;
  }
  if (RandomChance(256) && Idle(top.radius)) {
    radiusMagnitude_ = 15.0f + 85.0f * RandomUnit();
    top.radius.SetTarget(radiusMagnitude_ * radiusSign_);
  }
  if (RandomChance(2048) && Idle(top.radius)) {
    radiusSign_ = -radiusSign_;
    top.radius.SetTarget(radiusSign_ * radiusMagnitude_);
  }
  if (RandomChance(512) && Idle(top.height)) {
    heightMagnitude_ = 100.0f * RandomUnit();
    top.height.SetTarget(heightMagnitude_ * heightSign_);
  }
  if (RandomChance(2048) && Idle(top.wobble)) {
    wobbleMode_ = !wobbleMode_;
    if (!wobbleMode_) top.wobble.SetTarget(0.0f);
  }
  if (wobbleMode_ && RandomChance(512) && Idle(top.wobble)) top.wobble.SetTarget(1300.0f * RandomUnit());
  if (RandomChance(4096) && Idle(top.height)) {
    heightSign_ = -heightSign_;
    top.height.SetTarget(heightSign_ * heightMagnitude_);
  }
  if (RandomChance(1024) && Idle(top.scale)) top.scale.SetTarget(2.5f + RandomUnit() * (12.0f - 2.5f));
  if (RandomChance(512) && morph_.current > 0.95f) {
    previousSides_ = sides_;
    previousStar_ = star_;
    const int k = std::rand() % 5;
    if (k == 4) {
      sides_ = kTwisterCircle;
      star_ = false;
    } else {
      sides_ = k + 3;
      star_ = (std::rand() & 3) == 3;
      if (star_) sides_ *= 2;
    }
    morph_.current = 0.0f;
    morph_.SetTarget(1.0f);
  }
}

void TwisterGenerator::Render(uint32_t) {
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  const gfx::SurfaceDesc* target = host != nullptr ? host->GetBackBufferDesc() : nullptr;
  if (device == nullptr || target == nullptr || target->height == 0 || !segments_) return;

  const int32_t erase = params_[kErase];
  uint32_t clear = 0;
  if ((options_ & kClearDepth) != 0) clear |= gfx::clear::ZBuffer;
  if (erase >= 255) clear |= gfx::clear::Target;
  if (clear != 0) device->Clear(0, nullptr, clear, 0, 1.0f, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  gfx::ConstantSink& constants = device->Constants();

  if (erase >= 1 && erase <= 254) {
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
    device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
    device->SetRenderState(gfx::RenderState::ZEnable, 0);
    device->SetVertexShader(eraseVertexShader_.shader.get());
    device->SetPixelShader(erasePixelShader_.shader.get());
    const d3dx::Matrix ortho = d3dx::MatrixOrthoLH(2.0f, 2.0f, 0.0f, 2.0f);
    // The lit shader normalises its normal through matView: give it one.
    const d3dx::Matrix identity = d3dx::MatrixIdentity();
    const float black[4] = {0.0f, 0.0f, 0.0f, float(erase) * 0.003921569f};
    eraseVertexShader_.constants->SetMatrix(constants, eraseMatWVP_, &ortho.m[0][0]);
    eraseVertexShader_.constants->SetMatrix(constants, eraseMatView_, &identity.m[0][0]);
    eraseVertexShader_.constants->SetVector(constants, eraseColor_, black);
    const float quad[4][6] = {{-1, -1, 0.5f, 0, 0, -1}, {1, -1, 0.5f, 0, 0, -1}, {1, 1, 0.5f, 0, 0, -1},
                              {-1, 1, 0.5f, 0, 0, -1}};
    device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, quad, sizeof quad[0]);
    device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
    device->SetRenderState(gfx::RenderState::ZEnable, 1);
  }
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);

  audioScale_ = 1.0f;
  if ((options_ & kRespondToAudio) != 0) {
    for (float& level : levelRing_) level *= 0.8f;
    levelRing_[ringIndex_] = host->GetLevel();
    ringIndex_ = (ringIndex_ + 1) % 4;
    audioScale_ = (levelRing_[0] + levelRing_[1] + levelRing_[2] + levelRing_[3]) * 0.25f + 1.0f;
  }

  d3dx::Matrix scene = d3dx::MatrixRotationYawPitchRoll(sceneYaw_ * kTurnToRadians, 0.0f, sceneRoll_ * kTurnToRadians);
  scene.m[3][0] = 0.0f;
  scene.m[3][1] = 0.0f;
  scene.m[3][2] = 200.0f;
  const d3dx::Matrix view = d3dx::MatrixLookAtLH({0, 0, -1}, {0, 0, 1}, {0, 1, 0});
  const d3dx::Matrix projection =
      d3dx::MatrixPerspectiveFovLH(1.0471976f, float(target->width) / float(target->height), 0.1f, 400.0f);
  const d3dx::Matrix viewProjection = view * projection;

  device->SetVertexShader(objectVertexShader_.shader.get());
  device->SetPixelShader(objectPixelShader_.shader.get());
  const int32_t length = std::clamp(params_[kLength], 0, kSegments);
  for (int32_t i = 0; i < length; ++i) DrawSegment(device, (*segments_)[size_t(i)], scene, viewProjection, view);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::CW));

  StepTwisterChain(*segments_);
  sceneYaw_ += yawRate_.current;
  sceneRoll_ += rollRate_.current;
  yawRate_.Step();
  rollRate_.Step();
  morph_.Step();
  RandomEvents();
}

}  // namespace kestrix
