#include "effects_2d/blend_source.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "draw_states.h"
#include "platform/d3dx/device_texture.h"
#include "platform/gfx/device.h"
#include "platform/sys/resources.h"
#include "platform/window/kit/erase_on_note_off.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 137;
constexpr uint32_t kNoiseBitmap = 138;
constexpr int kDialog = 195;
constexpr int32_t kDissolve = 1;
constexpr float kNoiseTile = 64.0f;

constexpr const char* kModeNames[BlendSource::kModeCount] = {
    "Normal", "Dissolve", "Darken",    "Multiply", "Burn",     "Lighten",    "Screen",
    "Dodge",  "Overlay",  "SoftLight", "HardLight", "PinLight", "Difference", "Exclusion",
};

// The longest name is 10 characters: any knob's text buffer holds it.
void FormatMode(int32_t value, char* text, lv::Plug*, int32_t) {
  std::snprintf(text, 16, "%s", BlendSource::ModeName(value));
}

const lv::ParamInfo kParams[] = {
    {0, 255, 0, 0, lv::ChunkTag("OPAC"), "Opacity", nullptr},
    {0, 13, 0, 0, lv::ChunkTag("MODE"), "Mode", FormatMode},
};

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1018, BlendSource::kEraseOnNoteOff},
    {1023, BlendSource::kResetEachNote},
    {1020, BlendSource::kLooped},
};

// Position and three texture coordinate pairs: source, frame, noise.
struct BlendVertex {
  float x, y, z;
  float u0, v0, u1, v1, u2, v2;
};
static_assert(sizeof(BlendVertex) == 36);

gfx::VertexDeclaration* CreateBlendDeclaration(gfx::Device* device) {
  const gfx::VertexElement elements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      {0, 12, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 0},
      {0, 20, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 1},
      {0, 28, gfx::DeclType::Float2, gfx::DeclUsage::TexCoord, 2},
      gfx::kDeclEnd,
  };
  return CreateDeclaration(device, elements);
}

const float* RectOf(lv::Source* source) {
  static constexpr float kWhole[4] = {0, 0, 1, 1};
  const float* r = source->GetTexelOffset();
  return r != nullptr ? r : kWhole;
}

}  // namespace

const char* BlendSource::ModeName(int32_t mode) { return kModeNames[mode >= 0 && mode < kModeCount ? mode : 0]; }

const lv::ParamInfo* BlendSource::GetParamInfo(int32_t i) { return &kParams[i == 1 ? 1 : 0]; }

BlendSource::~BlendSource() { ReleaseFramebuffer(); }

void BlendSource::ReleaseFramebuffer() {
  delete framebuffer_;
  framebuffer_ = nullptr;
}

bool BlendSource::CreateDeviceObjects() {
  if (!OpenSourceAndDeclaration(kLooped)) return false;
  framebuffer_ = host->CreateSource("Framebuffer:", 0);
  if (framebuffer_ == nullptr) {
    ReleaseDeviceObjects();
    return false;
  }
  sizeDiffers_ = frame_.width != targetWidth_ || frame_.height != targetHeight_;
  gfx::Device* device = host->GetDevice();
  blendDeclaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateBlendDeclaration(device));
  const sys::Resource bitmap = sys::FindResource(sys::kResourceBitmap, kNoiseBitmap);
  gfx::Texture* noise = nullptr;
  if (bitmap && device != nullptr) {
    d3dx::TextureFileOptions options;
    options.mipLevels = 1;
    d3dx::CreateTextureFromFileInMemoryEx(device, bitmap.data, bitmap.size, options, nullptr, &noise);
  }
  noise_ = gfx::Ref<gfx::Texture>(noise);
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  bool complete = blendDeclaration_ && noise_ && vertexShader_;
  for (int mode = 0; mode < kModeCount && complete; ++mode) {
    modeShaders_[size_t(mode)] = CompilePixelShader(host, kShader, (std::string("ps_") + kModeNames[mode]).c_str());
    complete = bool(modeShaders_[size_t(mode)]);
    // Each shader's own table: the register need not be the same in all.
    if (complete) opacity_[size_t(mode)] = FindConstant(modeShaders_[size_t(mode)].constants, "Opacity");
  }
  if (!complete) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  return true;
}

void BlendSource::ReleaseEffectObjects() {
  ReleaseFramebuffer();
  noise_ = {};
  blendDeclaration_ = {};
  vertexShader_ = {};
  for (PixelShaderObjects& shader : modeShaders_) shader = {};
}

bool BlendSource::Configure(lv::WindowHandle owner) { return RunSettingsDialog(kDialog, owner, kCheckBoxes); }

void BlendSource::NoteOn() {
  const bool restart = (options_ & kResetEachNote) != 0;
  timeSinceNoteOn_ = 0;
  for (lv::Source* source : {source_, framebuffer_}) {
    if (source == nullptr) continue;
    if (restart) source->Restart();
    source->Attach(velocity);
    bool wrapped = false, newFrame = false;
    source->Advance(0, &wrapped, &newFrame);
  }
}

void BlendSource::NoteOff() {
  kit::EraseOnNoteOff(host, (options_ & kEraseOnNoteOff) != 0, source_);
  if (framebuffer_ != nullptr) framebuffer_->Detach();
}

void BlendSource::Render(uint32_t milliseconds) {
  timeSinceNoteOn_ += milliseconds;
  if (source_ == nullptr || framebuffer_ == nullptr || !vertexShader_) return;
  for (lv::Source* source : {source_, framebuffer_}) {
    bool wrapped = false, newFrame = false;
    source->Advance(milliseconds, &wrapped, &newFrame);
  }
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;
  const int32_t mode = params_[1] >= 0 && params_[1] < kModeCount ? params_[1] : 0;
  const PixelShaderObjects& pixelShader = modeShaders_[size_t(mode)];

  BindStage(device, 0, source_->GetTexture(), gfx::Address::Clamp,
            sizeDiffers_ ? gfx::Filter::Linear : gfx::Filter::Point);
  BindStage(device, 1, framebuffer_->GetTexture(), gfx::Address::Clamp, gfx::Filter::Point);
  if (mode == kDissolve) BindStage(device, 2, noise_.get(), gfx::Address::Wrap, gfx::Filter::Point);

  const float w = float(targetWidth_) * 0.5f, h = float(targetHeight_) * 0.5f;
  const float nu = float(targetWidth_) / kNoiseTile, nv = float(targetHeight_) / kNoiseTile;
  const float* s = RectOf(source_);
  const float* f = RectOf(framebuffer_);
  const BlendVertex vertices[4] = {
      {-w, +h, 1, s[0], s[1], f[0], f[1], 0, 0},
      {+w, +h, 1, s[2], s[1], f[2], f[1], nu, 0},
      {+w, -h, 1, s[2], s[3], f[2], f[3], nu, nv},
      {-w, -h, 1, s[0], s[3], f[0], f[3], 0, nv},
  };

  const d3dx::Matrix projection = TargetProjection(targetWidth_, targetHeight_);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  pixelShader.constants->SetFloat(constants, opacity_[size_t(mode)], float(params_[0]) / 255.0f);

  SetBlending(device, false);
  BeginFlatDraw(device);
  device->SetVertexDeclaration(blendDeclaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader.shader.get());
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(BlendVertex));

  EndFlatDraw(device, 3);
}

}  // namespace kestrix
