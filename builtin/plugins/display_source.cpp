#include "plugins/display_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

#include "lv/chunk_stream.h"
#include "lv/lorvane_interface.h"
#include "lv/plug_descriptor.h"
#include "platform/gfx/device.h"
#include "platform/sys/log.h"
#include "platform/window/kit/erase_on_note_off.h"
#include "platform/window/kit/plug_chunks.h"
#include "platform/window/kit/source_settings_dialog.h"

namespace builtin {
namespace {

constexpr uint32_t kShader = 119;
constexpr int kDialog = 173;
constexpr float kPi = 3.14159265358979323846f;

void FormatChannels(int32_t value, char* text, lv::Plug*, int32_t) {
  static constexpr const char* kNames[] = {"R", "G", "R+G", "B", "R+B", "G+B", "R+G+B"};
  std::strcpy(text, value >= 1 && value <= 7 ? kNames[value - 1] : "");
}

void FormatBlend(int32_t value, char* text, lv::Plug*, int32_t) {
  static constexpr const char* kNames[] = {"Add", "Sub", "RevSub", "Min", "Max"};
  std::strcpy(text, value >= 1 && value <= 5 ? kNames[value - 1] : "Alpha");
}

const lv::ParamInfo kParams[DisplaySource::kNumParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KRED"), "Key Red", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KGRN"), "Key Grn", nullptr},
    {0, 255, 0, 0, lv::ChunkTag("KBLU"), "Key Blue", nullptr},
    {0, 255, 3, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {-400, 400, 0, 1, lv::ChunkTag("POSX"), "XPos", nullptr},
    {-400, 400, 0, 1, lv::ChunkTag("POSY"), "YPos", nullptr},
    {-800, 800, 100, 0, lv::ChunkTag("SIZX"), "Width", nullptr},
    {-800, 800, 100, 0, lv::ChunkTag("SIZY"), "Height", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ANGL"), "Angle", nullptr},
    {1, 7, 1, 1, lv::ChunkTag("RGBC"), "Channels", &FormatChannels},
    {1, 60, 2, 0, lv::ChunkTag("RATE"), "Cyc Rate", nullptr},
    {0, 5, 0, 1, lv::ChunkTag("BLND"), "Blend", &FormatBlend},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, DisplaySource::kStretch},           {1016, DisplaySource::kKeyColor},
    {1018, DisplaySource::kEraseOnNoteOff},    {1023, DisplaySource::kResetEachNote},
    {1020, DisplaySource::kLooped},            {1021, DisplaySource::kSustain},
    {1092, DisplaySource::kVolumeFromVelocity}, {1094, DisplaySource::kPanFromVelocity},
    {1132, DisplaySource::kOverrideTransform}, {1133, DisplaySource::kCycleChannels},
};

void SetState(gfx::Device* device, gfx::RenderState state, uint32_t value) { device->SetRenderState(state, value); }

template <class Enum>
void SetState(gfx::Device* device, gfx::RenderState state, Enum value) {
  device->SetRenderState(state, uint32_t(value));
}

}  // namespace

DisplaySourceBlend DisplaySourceBlendFor(int32_t blend) {
  using gfx::Blend;
  using gfx::BlendOp;
  switch (blend) {
    case 1: return {Blend::One, Blend::One, BlendOp::Add};
    case 2: return {Blend::One, Blend::One, BlendOp::RevSubtract};  // the target minus the image
    case 3: return {Blend::One, Blend::One, BlendOp::Subtract};     // the image minus the target
    case 4: return {Blend::One, Blend::One, BlendOp::Min};
    case 5: return {Blend::One, Blend::One, BlendOp::Max};
    default: return {Blend::SrcAlpha, Blend::InvSrcAlpha, BlendOp::Add};
  }
}

uint32_t DisplaySourceWriteMask(bool cycling, int32_t channels, uint32_t cycleCounter, int32_t cycleRate) {
  if (cycling) {
    // A rate of 0 (a saved value or a binding; nothing clamps them) counts as 1.
    const uint32_t rate = uint32_t(std::max(cycleRate, 1));
    return (1u << ((cycleCounter / rate) % 3)) | 8u;
  }
  return (uint32_t(channels) & 7u) | 8u;
}

std::array<std::array<float, 2>, 4> DisplaySourceCorners(float hw, float hh, bool override, int32_t width,
                                                         int32_t height, int32_t xPos, int32_t yPos, int32_t angle) {
  static constexpr float kSigns[4][2] = {{-1, +1}, {+1, +1}, {+1, -1}, {-1, -1}};
  std::array<std::array<float, 2>, 4> corners;
  if (!override) {
    for (int i = 0; i < 4; ++i) corners[i] = {kSigns[i][0] * hw, kSigns[i][1] * hh};
    return corners;
  }
  const float w = float(width) * hw * 0.01f;
  const float h = float(height) * hh * 0.01f;
  const float theta = -float(angle) * kPi / 360.0f;
  const float c = std::cos(theta), s = std::sin(theta);
  const float dx = float(xPos) * hw * 0.02f, dy = float(yPos) * hh * 0.02f;
  for (int i = 0; i < 4; ++i) {
    const float x = kSigns[i][0] * w, y = kSigns[i][1] * h;
    corners[i] = {x * c - y * s + dx, x * s + y * c + dy};
  }
  return corners;
}

DisplaySource::DisplaySource() : SourceShowingPlug(0x3C, kParams) { params_[kChannels] = 7; }

DisplaySource::~DisplaySource() { ReleaseDeviceObjects(); }

void DisplaySource::ReleaseDeviceObjects() {
  ReleaseSourceAndDrawing();
  matWVP_ = color_ = keyColor_ = keyDist_ = {};
}

bool DisplaySource::CreateDeviceObjects() {
  // The host never releases after a failure and may simply try again.
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  source_ = host->CreateSource(sourceName_.Get(), 0);
  if (source_ == nullptr) return false;
  source_->SetOption0((options_ & kLooped) != 0 ? 1 : 0);
  lv::SourceInfo info{};
  if (target == nullptr || !source_->GetInfo(&info)) {
    sys::Log("Display Source: \"%s\" tells no frame size", sourceName_.Get() != nullptr ? sourceName_.Get() : "");
    ReleaseDeviceObjects();
    return false;
  }
  const bool stretch = (options_ & kStretch) != 0;
  halfWidth_ = float(stretch ? target->width : info.width) * 0.5f;
  halfHeight_ = float(stretch ? target->height : info.height) * 0.5f;

  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(host->GetDevice()));
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  pixelShader_ = CompilePixelShader(host, kShader, (options_ & kKeyColor) != 0 ? "ps_colorkey" : "ps_passthrough");
  if (!declaration_ || !vertexShader_.shader || !pixelShader_.shader) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  color_ = FindConstant(vertexShader_.constants, "Color");
  keyColor_ = FindConstant(pixelShader_.constants, "KeyColor");
  keyDist_ = FindConstant(pixelShader_.constants, "KeyDist");
  return true;
}

bool DisplaySource::Configure(lv::WindowHandle owner) {
  return kit::RunSourceSettingsDialog(PlugDialogs(), kDialog, owner, kCheckBoxes,
                                      {host, &sourceName_, &options_, &volume_, &pan_});
}

void DisplaySource::NoteOn() {
  if (source_ == nullptr) return;
  if ((options_ & kResetEachNote) != 0) {
    source_->Restart();
    cycleCounter_ = 0;
  }
  keep_ = (options_ & kSustain) != 0;
  source_->SetVolume((options_ & kVolumeFromVelocity) != 0 ? velocity : volume_);
  source_->SetPan((options_ & kPanFromVelocity) != 0 ? velocity : pan_);
  source_->Attach(velocity);
  bool wrapped = false, newFrame = false;
  source_->Advance(0, &wrapped, &newFrame);
}


void DisplaySource::Render(uint32_t milliseconds) {
  if (source_ == nullptr || !pixelShader_.shader) {
    keep_ = false;
    return;
  }
  bool wrapped = false, newFrame = false;
  const bool advanced = source_->Advance(milliseconds, &wrapped, &newFrame);
  if (!advanced || wrapped || !source_->CanHoldNote()) keep_ = false;

  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;
  device->SetTexture(0, source_->GetTexture());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  DrawQuad(device, *target);
  device->SetTexture(0, nullptr);
}

void DisplaySource::DrawQuad(gfx::Device* device, const gfx::SurfaceDesc& target) {
  static constexpr float kWholeTexture[4] = {0, 0, 1, 1};
  const float* rect = source_->GetTexelOffset();
  if (rect == nullptr) rect = kWholeTexture;
  const auto corners = DisplaySourceCorners(halfWidth_, halfHeight_, (options_ & kOverrideTransform) != 0,
                                            params_[kWidth], params_[kHeight], params_[kXPos], params_[kYPos],
                                            params_[kAngle]);
  const float uv[4][2] = {{rect[0], rect[1]}, {rect[2], rect[1]}, {rect[2], rect[3]}, {rect[0], rect[3]}};
  QuadVertex vertices[4];
  for (int i = 0; i < 4; ++i) vertices[i] = {corners[i][0], corners[i][1], 1.0f, uv[i][0], uv[i][1]};

  gfx::ConstantSink& constants = device->Constants();
  const d3dx::Matrix projection = TargetProjection(target.width, target.height);
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  const float color[4] = {1, 1, 1, float(params_[kAlpha]) / 255.0f};
  vertexShader_.constants->SetVector(constants, color_, color);
  if ((options_ & kKeyColor) != 0 && pixelShader_.constants) {
    const float key[4] = {float(params_[kKeyRed]) / 255.0f, float(params_[kKeyGreen]) / 255.0f,
                          float(params_[kKeyBlue]) / 255.0f, 1.0f};
    pixelShader_.constants->SetVector(constants, keyColor_, key);
    pixelShader_.constants->SetFloat(constants, keyDist_, float(params_[kKeyDist]) / 145.0f);
  }

  const DisplaySourceBlend blend = DisplaySourceBlendFor(params_[kBlend]);
  SetState(device, gfx::RenderState::AlphaBlendEnable, 1u);
  SetState(device, gfx::RenderState::SrcBlend, blend.source);
  SetState(device, gfx::RenderState::DestBlend, blend.dest);
  SetState(device, gfx::RenderState::BlendOp, blend.op);
  SetState(device, gfx::RenderState::ZWriteEnable, 0u);
  const bool cycling = (options_ & kCycleChannels) != 0;
  SetState(device, gfx::RenderState::ColorWriteEnable,
           DisplaySourceWriteMask(cycling, params_[kChannels], cycleCounter_, params_[kCycleRate]));
  if (cycling) ++cycleCounter_;
  SetState(device, gfx::RenderState::CullMode, gfx::Cull::None);

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(QuadVertex));

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  SetState(device, gfx::RenderState::AlphaBlendEnable, 0u);
  SetState(device, gfx::RenderState::ZWriteEnable, 1u);
  SetState(device, gfx::RenderState::ColorWriteEnable, 0xFu);
  SetState(device, gfx::RenderState::SrcBlend, gfx::Blend::SrcAlpha);
  SetState(device, gfx::RenderState::DestBlend, gfx::Blend::InvSrcAlpha);
  // A later plug-in that only switches blending on must not subtract or
  // take a minimum.
  SetState(device, gfx::RenderState::BlendOp, gfx::BlendOp::Add);
}

bool DisplaySource::IsParamEnabled(int32_t i) {
  if (i <= kKeyDist) return (options_ & kKeyColor) != 0;
  if (i >= kXPos && i <= kAngle) return (options_ & kOverrideTransform) != 0;
  if (i == kChannels) return (options_ & kCycleChannels) == 0;
  if (i == kCycleRate) return (options_ & kCycleChannels) != 0;
  return true;
}

lv::PlugDesc* DisplaySourceDescriptor() {
  static lv::PlugDescriptor<DisplaySource> descriptor;
  return &descriptor;
}

}  // namespace builtin
