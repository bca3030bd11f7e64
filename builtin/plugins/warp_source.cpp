#include "plugins/warp_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/erase_on_note_off.h"
#include "platform/window/kit/plug_chunks.h"
#include "platform/window/kit/source_settings_dialog.h"
#include "lv/plug_descriptor.h"
#include "plugins/quad_vertex.h"

namespace builtin {
namespace {

constexpr uint32_t kShader = 122;
constexpr int kDialog = 174;
constexpr uint32_t kStyleTag = lv::ChunkTag("FXNM");
constexpr uint32_t kSubdivisionTag = lv::ChunkTag("SUBD");
constexpr float kPi = std::numbers::pi_v<float>;
// MIDI clocks to the beat.
constexpr uint32_t kClocksPerBeat = 24;

const lv::ParamInfo kParams[kNumWarpParams] = {
    {0, 255, 0, 0, lv::ChunkTag("KDST"), "Key Dist", nullptr},
    {-2000, 2000, 0, 0, lv::ChunkTag("TWST"), "Twist", nullptr},
    {-750, 750, 0, 1, lv::ChunkTag("PNCH"), "Pinch", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ROTA"), "Rotate", nullptr},
    {0, 24, 5, 0, lv::ChunkTag("PETL"), "Petals", nullptr},
    {-500, 500, 0, 0, lv::ChunkTag("STRN"), "Strength", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("OFST"), "Offset", nullptr},
    {0, 400, 100, 0, lv::ChunkTag("RATE"), "Rate", nullptr},
    {0, 127, 64, 0, lv::ChunkTag("VELO"), "Velocity", nullptr},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, WarpSource::kStretch},         {1016, WarpSource::kTransparentBlack},
    {1018, WarpSource::kEraseOnNoteOff},  {1023, WarpSource::kResetEachNote},
    {1020, WarpSource::kLooped},          {1021, WarpSource::kSustain},
    {1092, WarpSource::kVolumeVelocity},  {1094, WarpSource::kPanVelocity},
    {1022, WarpSource::kVelocityActive},  {1026, WarpSource::kOverrideVelocity},
    {1024, WarpSource::kTile},            {1130, WarpSource::kSubtle},
    {1025, WarpSource::kBeatSyncLoop},    {1131, WarpSource::kBeatSyncEffect},
    {1132, WarpSource::kAudioInput},
};

// The radio buttons of the styles, in style order.
constexpr int kStyleButtons[WarpSource::kNumStyles] = {1071, 1073, 1075, 1077, 1079, 1080};
constexpr int kSubdivisionSlider = 1128;
constexpr int kSubdivisionStatic = 1129;

class WarpDialogExtras final : public kit::SettingsDialogExtras {
 public:
  explicit WarpDialogExtras(WarpSource& plug) : plug_(plug) {}

  void Init(window::Dialog& dialog) override {
    const int style = plug_.Style();
    if (style >= 0 && style < WarpSource::kNumStyles) {
      dialog.CheckRadioButton(kStyleButtons[0], kStyleButtons[WarpSource::kNumStyles - 1], kStyleButtons[style]);
    }
    dialog.SetRange(kSubdivisionSlider, 1, 50);
    dialog.SetPosition(kSubdivisionSlider, (plug_.Subdivision() - 1) / 4);
    dialog.SetItemInt(kSubdivisionStatic, plug_.Subdivision(), false);
  }

  void Apply(window::Dialog& dialog) override {
    for (int style = 0; style < WarpSource::kNumStyles; ++style) {
      if (dialog.GetCheck(kStyleButtons[style]) == window::CheckState::kChecked) plug_.SetStyle(style);
    }
    plug_.SetSubdivision(4 * dialog.GetPosition(kSubdivisionSlider) + 1);
  }

  // The label follows the slider while it moves.
  bool Scroll(window::Dialog& dialog, window::MessageId, window::WParam, int control) override {
    if (control != kSubdivisionSlider) return false;
    dialog.SetItemInt(kSubdivisionStatic, 4 * dialog.GetPosition(kSubdivisionSlider) + 1, false);
    return true;
  }

 private:
  WarpSource& plug_;
};

}  // namespace

int32_t BoundedSubdivision(int32_t subdivision) { return std::clamp(subdivision, 2, 255); }

WarpConstants ComputeWarpConstants(int32_t style, uint32_t options, const int32_t (&params)[kNumWarpParams],
                                   uint8_t velocity, uint32_t effectClockMs, float level) {
  const float K = (options & WarpSource::kSubtle) != 0 ? 0.25f : 1.0f;
  float T = float(effectClockMs) * float(params[kRate]) / 40000.0f;
  const bool audio = (options & WarpSource::kAudioInput) != 0;
  const bool withVelocity = (options & WarpSource::kVelocityActive) != 0;
  const float A = audio ? level : 1.0f;
  const float v = float(velocity);
  const float d = 64.0f - v;

  WarpConstants c;
  c.twist = float(params[kTwist]) * (-kPi / 360.0f);
  c.pinch = float(params[kPinch]) * 0.002f;
  c.rot = float(params[kRotate]) * (-kPi / 360.0f);
  c.petals = float(params[kPetals]);
  c.petalStrength = float(params[kStrength]) * 0.0025f;
  c.petalOffset = float(params[kOffset]) * (-kPi / 180.0f);

  switch (style) {
    case 0:  // Spiral
      if (audio) T = A;
      c.twist = withVelocity ? d * K * T * 0.1f : A * K * T;
      break;
    case 1:  // Spin
      if (audio) T = T + 0.25f * A;
      c.rot = withVelocity ? d * K * T * 0.1f : K * T;
      break;
    case 2:  // Pulse
      if (audio) {
        c.pinch = 0.2f - 0.2f * A * K;
      } else if (withVelocity) {
        c.pinch = K * (v / 512.0f) * std::sin(0.075f * K * v * T);
      } else {
        c.pinch = 0.2f * K * std::sin(3.0f * K * T);
      }
      break;
    case 3: {  // Pinch
      if (audio) T = A;
      c.petals = 1.0f;
      const float P = withVelocity ? 0.1f * d * T : 3.0f * K * T;
      c.petalOffset = P;
      c.twist = 0.25f * K * std::sin(1.5f * K * P);
      c.petalStrength = withVelocity ? d * K / 128.0f : 0.3f * K;
      break;
    }
    case 4:  // Flower
      if (withVelocity) {
        c.petalOffset = 0.1f * d * T;
        c.petalStrength = d * A * K / 256.0f;
      } else {
        c.petalOffset = T;
        c.petalStrength = 0.2f * A * K;
      }
      break;
    default:  // Freeform: the knobs as they stand
      break;
  }
  return c;
}

WarpSource::WarpSource() : SourceShowingPlug(0x13C, kParams) { params_[kKeyDist] = 3; }

WarpSource::~WarpSource() { ReleaseDeviceObjects(); }

bool WarpSource::IsParamEnabled(int32_t i) {
  if (i <= kKeyDist) return (options_ & kTransparentBlack) != 0;
  if (style_ == 5) return true;
  switch (style_) {
    case 0: if (i == kTwist) return false; break;
    case 1: if (i == kRotate) return false; break;
    case 2: if (i == kPinch) return false; break;
    case 3: if (i == kTwist || i == kStrength || i == kOffset) return false; break;
    case 4: if (i == kStrength || i == kOffset) return false; break;
    default: break;
  }
  if (i == kVelocity) return (options_ & kOverrideVelocity) != 0;
  return true;
}

void WarpSource::ReleaseDeviceObjects() {
  ReleaseSourceAndDrawing();
  vertices_ = {};
  indices_ = {};
}

bool WarpSource::CreateDeviceObjects() {
  // A failed earlier attempt is never released by the host: start clean, and
  // leave nothing behind on failure.
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return false;
  targetWidth_ = target->width;
  targetHeight_ = target->height;

  source_ = host->CreateSource(sourceName_.Get(), (options_ & kTile) != 0 ? 1 : 0);
  if (source_ == nullptr) return false;
  source_->SetOption0((options_ & kLooped) != 0 ? 1 : 0);
  lv::SourceInfo info{};
  // A source that cannot tell its frame size cannot be drawn.
  if (!source_->GetInfo(&info)) {
    ReleaseDeviceObjects();
    return false;
  }
  effectClock_ = 0;
  const bool stretch = (options_ & kStretch) != 0;
  halfWidth_ = float(stretch ? targetWidth_ : info.width) / 2;
  halfHeight_ = float(stretch ? targetHeight_ : info.height) / 2;

  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(device));
  const int32_t n = BoundedSubdivision(subdivision_);
  meshSide_ = n;
  const uint32_t vertexCount = uint32_t(n * n);
  const uint32_t indexCount = uint32_t(2 * n * n - 4);
  gfx::VertexBuffer* vb = nullptr;
  gfx::IndexBuffer* ib = nullptr;
  if (gfx::Succeeded(device->CreateVertexBuffer(vertexCount * sizeof(QuadVertex), gfx::usage::WriteOnly,
                                                gfx::Pool::Default, &vb))) {
    vertices_ = gfx::Ref<gfx::VertexBuffer>(vb);
  }
  if (gfx::Succeeded(device->CreateIndexBuffer(indexCount * sizeof(uint16_t), gfx::usage::WriteOnly,
                                               gfx::Format::Index16, gfx::Pool::Default, &ib))) {
    indices_ = gfx::Ref<gfx::IndexBuffer>(ib);
  }
  if (!declaration_ || !vertices_ || !indices_) {
    ReleaseDeviceObjects();
    return false;
  }

  // Each vertex keeps its polar position about the texture centre.
  const float* rect = source_->GetTexelOffset();
  static constexpr float kWholeTexture[4] = {0, 0, 1, 1};
  if (rect == nullptr) rect = kWholeTexture;
  std::vector<QuadVertex> mesh(vertexCount);
  for (int i = 0; i < n; ++i) {
    const float ty = float(i) / float(n - 1);
    for (int j = 0; j < n; ++j) {
      const float tx = float(j) / float(n - 1);
      const float a = (rect[2] - rect[0]) * tx - 0.5f;
      const float b = (rect[3] - rect[1]) * ty - 0.5f;
      mesh[size_t(i * n + j)] = {(2 * tx - 1) * halfWidth_, (2 * ty - 1) * halfHeight_, 1.0f, std::atan2(a, b),
                                 std::sqrt(a * a + b * b)};
    }
  }
  // One strip; rows joined through degenerate triangles.
  std::vector<uint16_t> strip;
  strip.reserve(indexCount);
  for (int r = 0; r <= n - 2; ++r) {
    for (int c = 0; c < n; ++c) {
      strip.push_back(uint16_t(r * n + c));
      strip.push_back(uint16_t((r + 1) * n + c));
    }
    if (r < n - 2) {
      strip.push_back(uint16_t((r + 1) * n + n - 1));
      strip.push_back(uint16_t((r + 1) * n));
    }
  }
  void* data = nullptr;
  bool filled = gfx::Succeeded(vertices_->Lock(0, 0, &data, 0));
  if (filled) {
    std::copy(mesh.begin(), mesh.end(), static_cast<QuadVertex*>(data));
    vertices_->Unlock();
    filled = gfx::Succeeded(indices_->Lock(0, 0, &data, 0));
    if (filled) {
      std::copy(strip.begin(), strip.end(), static_cast<uint16_t*>(data));
      indices_->Unlock();
    }
  }

  vertexShader_ = CompileVertexShader(host, kShader, "vs_main", host->GetVertexShaderProfile());
  if (vertexShader_) {
    pixelShader_ = CompilePixelShader(host, kShader,
                                      (options_ & kTransparentBlack) != 0 ? "ps_colorkey" : "ps_passthrough",
                                      host->GetPixelShaderProfile());
  }
  if (!filled || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  return true;
}

bool WarpSource::Configure(lv::WindowHandle owner) {
  WarpDialogExtras extras(*this);
  return kit::RunSourceSettingsDialog(PlugDialogs(), kDialog, owner, kCheckBoxes,
                                      {host, &sourceName_, &options_, &volume_, &pan_}, &extras);
}

float WarpSource::SmoothLevel(float level) {
  levels_[levelIndex_] *= 0.75f;
  levelIndex_ ^= 1;
  levels_[levelIndex_] = level;
  return (levels_[0] + levels_[1]) * 0.5f;
}

void WarpSource::NoteOn() {
  clockAtNoteOn_ = host != nullptr ? host->GetMidiClock() : 0;
  clockTicksSeen_ = 0;
  levels_[0] = levels_[1] = 0;
  levelIndex_ = 0;
  if ((options_ & kResetEachNote) != 0) {
    if (source_ != nullptr) source_->Restart();
    effectClock_ = 0;
  }
  if ((options_ & kOverrideVelocity) != 0) velocity = uint8_t(params_[kVelocity]);
  keep_ = (options_ & kSustain) != 0;
  if (source_ != nullptr) {
    source_->Attach(velocity);
    bool wrapped = false, newFrame = false;
    source_->Advance(0, &wrapped, &newFrame);
  }
}


void WarpSource::Render(uint32_t milliseconds) {
  if (host == nullptr || source_ == nullptr || !pixelShader_) return;
  if ((options_ & kOverrideVelocity) != 0) velocity = uint8_t(params_[kVelocity]);
  if ((options_ & (kBeatSyncLoop | kBeatSyncEffect)) != 0) {
    const uint32_t clock = host->GetMidiClock();
    // A MIDI start during the note sets the clock back: count beats from there.
    if (clock < clockAtNoteOn_) {
      clockAtNoteOn_ = clock;
      clockTicksSeen_ = 0;
    }
    const uint32_t ticks = clock - clockAtNoteOn_;
    if (ticks / kClocksPerBeat > clockTicksSeen_ / kClocksPerBeat) {
      if ((options_ & kBeatSyncLoop) != 0) source_->Restart();
      if ((options_ & kBeatSyncEffect) != 0) effectClock_ = 0;
    }
    clockTicksSeen_ = ticks;
  }
  bool wrapped = false, newFrame = false;
  if (!source_->Advance(milliseconds, &wrapped, &newFrame) || wrapped || !source_->CanHoldNote()) keep_ = false;
  effectClock_ += milliseconds;

  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;
  const gfx::Address address = (options_ & kTile) != 0 ? gfx::Address::Wrap : gfx::Address::Border;
  device->SetTexture(0, source_->GetTexture());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(address));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(address));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));

  const float level = (options_ & kAudioInput) != 0 ? SmoothLevel(host->GetLevel()) : 1.0f;
  constants_ = ComputeWarpConstants(style_, options_, params_, velocity, effectClock_, level);
  DrawMesh(device);

  device->SetTexture(0, nullptr);
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
}

void WarpSource::DrawMesh(gfx::Device* device) {
  const std::shared_ptr<gfx::ConstantTable>& vs = vertexShader_.constants;
  gfx::ConstantSink& sink = device->Constants();
  const d3dx::Matrix projection = TargetProjection(targetWidth_, targetHeight_);
  static constexpr float kWhite[4] = {1, 1, 1, 1};
  vs->SetMatrix(sink, FindConstant(vs, "matWVP"), &projection.m[0][0]);
  vs->SetVector(sink, FindConstant(vs, "Color"), kWhite);
  vs->SetFloat(sink, FindConstant(vs, "Petals"), constants_.petals);
  vs->SetFloat(sink, FindConstant(vs, "PetalStrength"), constants_.petalStrength);
  vs->SetFloat(sink, FindConstant(vs, "PetalOffset"), constants_.petalOffset);
  vs->SetFloat(sink, FindConstant(vs, "Rot"), constants_.rot);
  vs->SetFloat(sink, FindConstant(vs, "Pinch"), constants_.pinch);
  vs->SetFloat(sink, FindConstant(vs, "Twist"), constants_.twist);
  const float* rect = source_->GetTexelOffset();
  const float uvOffset[2] = {rect != nullptr ? rect[0] : 0.0f, rect != nullptr ? rect[1] : 0.0f};
  vs->SetFloatArray(sink, FindConstant(vs, "UVOffset"), uvOffset, 2);

  if ((options_ & kTransparentBlack) != 0) {
    const std::shared_ptr<gfx::ConstantTable>& ps = pixelShader_.constants;
    static constexpr float kBlack[4] = {0, 0, 0, 1};
    ps->SetVector(sink, FindConstant(ps, "KeyColor"), kBlack);
    ps->SetFloat(sink, FindConstant(ps, "KeyDist"), float(params_[kKeyDist]) / 145.0f);
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  } else {
    device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
    device->SetTextureStageState(0, gfx::TextureStageState::ColorArg1, gfx::texarg::Texture);
    device->SetTextureStageState(0, gfx::TextureStageState::ColorArg2, gfx::texarg::Diffuse);
    device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, uint32_t(gfx::TextureOp::Modulate));
  }
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetStreamSource(0, vertices_.get(), 0, sizeof(QuadVertex));
  device->SetIndices(indices_.get());
  const uint32_t n = uint32_t(meshSide_);
  device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleStrip, 0, 0, n * n, 0, 2 * n * n - 6);

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetStreamSource(0, nullptr, 0, 0);
  device->SetIndices(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
}

bool WarpSource::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, ChunkFields(),
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   uint32_t value = 0;
                                   if (s.BytesLeft() < 4) return;
                                   if (tag == kStyleTag && s.ReadUInt32(&value)) style_ = int32_t(value);
                                   if (tag == kSubdivisionTag && s.ReadUInt32(&value)) subdivision_ = int32_t(value);
                                 });
}

bool WarpSource::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, ChunkFields(), [this](lv::ChunkStream& s) {
    const uint32_t style = uint32_t(style_), subdivision = uint32_t(subdivision_);
    return s.WriteUInt32Chunk(kStyleTag, &style) && s.WriteUInt32Chunk(kSubdivisionTag, &subdivision);
  });
}

lv::PlugDesc* WarpSourceDescriptor() {
  static lv::PlugDescriptor<WarpSource> descriptor;
  return &descriptor;
}

}  // namespace builtin
