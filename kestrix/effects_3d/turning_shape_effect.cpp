#include "effects_3d/turning_shape_effect.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw_states.h"
#include "platform/gfx/device.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/plug_chunks.h"

namespace kestrix {
namespace {

constexpr float kKeyColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float kKeyDistance = 0.02f;
constexpr float kPi = std::numbers::pi_v<float>;

// Each pair of radio buttons shows one option bit.
class RadioPairControls final : public kit::SettingsDialogExtras {
 public:
  using Pair = TurningShapeEffect::RadioPair;
  RadioPairControls(std::span<const Pair> pairs, uint32_t* options) : pairs_(pairs), options_(options) {}
  void Init(window::Dialog& dialog) override {
    for (const auto& pair : pairs_) {
      dialog.CheckRadioButton(std::min(pair.clearId, pair.setId), std::max(pair.clearId, pair.setId),
                              (*options_ & pair.bit) != 0 ? pair.setId : pair.clearId);
    }
  }
  void Apply(window::Dialog& dialog) override {
    for (const auto& pair : pairs_) {
      *options_ = kit::DialogIsChecked(dialog, pair.setId) ? (*options_ | pair.bit) : (*options_ & ~pair.bit);
    }
  }

 private:
  std::span<const Pair> pairs_;
  uint32_t* options_;
};

}  // namespace

uint32_t FillRingIndices(uint16_t* indices, uint32_t rings, uint32_t perRing) {
  uint32_t k = 0;
  for (uint32_t r = 0; r + 1 < rings; ++r) {
    for (uint32_t q = 0; q + 1 < perRing; ++q) {
      const uint32_t c = r * perRing + q;
      const uint32_t up = c + perRing;
      for (uint32_t i : {c, c + 1, up + 1, c, up + 1, up}) indices[k++] = uint16_t(i);
    }
  }
  return k / 3;
}

bool CreateShapeBuffers(gfx::Device* device, uint32_t vertexBytes, uint32_t indexBytes,
                        gfx::Ref<gfx::VertexBuffer>* vertices, gfx::Ref<gfx::IndexBuffer>* indices) {
  gfx::VertexBuffer* vb = nullptr;
  gfx::IndexBuffer* ib = nullptr;
  if (gfx::Succeeded(device->CreateVertexBuffer(vertexBytes, gfx::usage::WriteOnly, gfx::Pool::Default, &vb))) {
    *vertices = gfx::Ref<gfx::VertexBuffer>(vb);
  }
  if (gfx::Succeeded(
          device->CreateIndexBuffer(indexBytes, gfx::usage::WriteOnly, gfx::Format::Index16, gfx::Pool::Default, &ib))) {
    *indices = gfx::Ref<gfx::IndexBuffer>(ib);
  }
  if (*vertices && *indices) return true;
  *vertices = {};
  *indices = {};
  return false;
}

float TurningShapeEffect::CameraDistance(int32_t depth) {
  if (depth >= 100) return -std::pow(10.0f, float(depth - 100) * 0.02f) - 2.4142137f;
  return float(depth) * -0.034142137f;
}

bool TurningShapeEffect::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, &volume_, &pan_, &sourceName_});
}

bool TurningShapeEffect::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, &volume_, &pan_, &sourceName_});
}

bool TurningShapeEffect::CreateDeviceObjects() {
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return false;
  source_ = host->CreateSource(sourceName_.Get(), 0);
  if (source_ == nullptr) return false;
  source_->SetOption0((options_ & kLooped) != 0 ? 1 : 0);
  source_->GetInfo(&frame_);
  gfx::VertexDeclaration* declaration = nullptr;
  if (gfx::Succeeded(device->CreateVertexDeclaration(VertexLayout(), &declaration))) {
    declaration_ = gfx::Ref<gfx::VertexDeclaration>(declaration);
  }
  shape_ = BuildShape(device);
  vertexShader_ = CompileVertexShader(host, shaderId_, (options_ & kLighting) != 0 ? "vs_doubleside_lit" : "vs_main");
  pixelShader_ =
      CompilePixelShader(host, shaderId_, (options_ & kTransparentBlack) != 0 ? "ps_colorkey" : "ps_passthrough");
  if (!declaration_ || !shape_.vertices || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  matView_ = FindConstant(vertexShader_.constants, "matView");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

void TurningShapeEffect::ReleaseEffectObjects() {
  shape_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool TurningShapeEffect::Configure(lv::WindowHandle owner) {
  RadioPairControls pairs(RadioPairs(), &options_);
  return RunSettingsDialog(templateId_, owner, CheckBoxes(), &volume_, &pan_, &pairs);
}

void TurningShapeEffect::NoteOn() {
  angles_[0] = angles_[1] = angles_[2] = 0;
  const bool reset = (options_ & kResetEachNote) != 0;
  StartNote(reset);
  if (reset && source_ != nullptr) source_->Restart();
  // Only a source that plays can carry a held note.
  keepPlaying_ = (options_ & kSustain) != 0 && source_ != nullptr;
  if (source_ != nullptr) source_->Attach(velocity);
  AdvanceSource(0);
}

void TurningShapeEffect::NoteOff() { EraseAndDetach(kEraseOnNoteOff); }

void TurningShapeEffect::Render(uint32_t milliseconds) {
  if (source_ == nullptr || !vertexShader_ || !pixelShader_) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  BeforeFrame(device, milliseconds);
  bool wrapped = false;
  bool newFrame = false;
  if (!source_->Advance(milliseconds, &wrapped, &newFrame) || wrapped || !source_->CanHoldNote()) {
    keepPlaying_ = false;
  }
  lastFrameTime_ = milliseconds;
  BindStage(device, 0, source_->GetTexture(), TextureAddress(), gfx::Filter::Linear);
  // A shape whose rebuild failed draws nothing until a later one succeeds.
  if (shape_.vertices) Draw(device);
  device->SetTexture(0, nullptr);
}

void TurningShapeEffect::Turn() {
  constexpr float k = -kPi / 360.0f;
  constexpr uint32_t spinBits[3] = {kVelocitySpinX, kVelocitySpinY, kVelocitySpinZ};
  for (int axis = 0; axis < 3; ++axis) {
    const float p = float(params_[kRotX + axis]) * k;
    if ((options_ & spinBits[axis]) != 0) {
      angles_[axis] += p * float(lastFrameTime_) * float(64 - int32_t(velocity)) / 32000.0f;
    } else if ((options_ & kAbsolute) != 0) {
      angles_[axis] = p;
    } else {
      angles_[axis] += 0.1f * p;
    }
  }
}

void TurningShapeEffect::Draw(gfx::Device* device) {
  const uint32_t clearFlags =
      ((options_ & kClearFrame) != 0 ? gfx::clear::Target : 0) | ((options_ & kClearDepth) != 0 ? gfx::clear::ZBuffer : 0);
  if (clearFlags != 0) device->Clear(0, nullptr, clearFlags, 0, 1.0f, 0);

  Turn();
  const d3dx::Matrix world =
      d3dx::MatrixRotationX(angles_[0]) * d3dx::MatrixRotationZ(angles_[2]) * d3dx::MatrixRotationY(angles_[1]);
  const float x = -0.01f * float(params_[kPosX]);
  const float y = 0.01f * float(params_[kPosY]);
  const d3dx::Matrix view = d3dx::MatrixLookAtLH({x, y, CameraDistance(params_[kDepth])}, {x, y, 1}, {0, 1, 0});
  float aspect = 1.0f;
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if ((options_ & kSquareAspect) != 0 && target != nullptr && target->height != 0) {
    aspect = float(target->width) / float(target->height);
  }
  const d3dx::Matrix projection = d3dx::MatrixPerspectiveFovLH(kPi / 4, aspect, 0.1f, 200.0f);
  const d3dx::Matrix worldView = world * view;
  const d3dx::Matrix wvp = worldView * projection;
  const float color[4] = {1, 1, 1, float(params_[kAlpha]) / 255.0f};

  gfx::ConstantSink& constants = device->Constants();
  SetShapeConstants(constants, *vertexShader_.constants);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &wvp.m[0][0]);
  if (matView_) vertexShader_.constants->SetMatrix(constants, matView_, &worldView.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, color);
  bool blend = params_[kAlpha] != 255;
  if ((options_ & kTransparentBlack) != 0) {
    pixelShader_.constants->SetVector(constants, keyColor_, kKeyColor);
    pixelShader_.constants->SetFloat(constants, keyDist_, kKeyDistance);
    blend = true;
  }
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, blend ? 1 : 0);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, shape_.vertices.get(), 0, VertexStride());
  device->SetIndices(shape_.indices.get());
  // The inside first, then the outside over it.
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::CW));
  device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, shape_.vertexCount, 0, shape_.triangleCount);
  if ((options_ & kInsideOnly) == 0) {
    device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::CCW));
    device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, shape_.vertexCount, 0, shape_.triangleCount);
  }
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
}

}  // namespace kestrix
