#include "plugins/color_fill.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx/math.h"
#include "platform/gfx/device.h"
#include "platform/window/common_dialogs.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/erase_on_note_off.h"
#include "platform/window/kit/plug_chunks.h"
#include "platform/window/kit/source_settings_dialog.h"
#include "platform/window/messages.h"
#include "lv/plug_descriptor.h"
#include "plugins/plug_dialog.h"

namespace builtin {
namespace {

constexpr uint32_t kShader = 121;
constexpr int kDialog = 116;
constexpr uint32_t kColorTag = lv::ChunkTag("COLR");

namespace control {
constexpr int kEraseOnNoteOff = 1018;
constexpr int kVelocityActive = 1022;
constexpr int kHue = 1057;
constexpr int kBrightness = 1055;
constexpr int kChooseColor = 1058;
constexpr int kAlphaEdit = 1119;
constexpr int kAlphaSpin = 1121;
}  // namespace control

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {control::kEraseOnNoteOff, ColorFill::kEraseOnNoteOff},
    {control::kVelocityActive, ColorFill::kVelocityActive},
    {control::kHue, ColorFill::kVelocityHue},
    {control::kBrightness, ColorFill::kVelocityBrightness},
};

// The colour dialog's custom colours, kept for the whole run.
std::array<window::ColourRef, 16> customColours{};

uint8_t Brightened(int c, int v) {
  if (v < 64) return uint8_t(c * v / 64);
  if (v > 64) return uint8_t(c + (255 - c) * (v - 64) / 64);
  return uint8_t(c);
}

std::intptr_t DialogProc(ColorFill& plug, window::Dialog& dialog, window::MessageId message, window::WParam w) {
  switch (message) {
    case window::msg::kInitDialog: {
      const int alpha = int(plug.ColorWord() >> 24);
      dialog.SetItemInt(control::kAlphaEdit, alpha, false);
      dialog.SetRange(control::kAlphaSpin, 0, 255);
      dialog.SetPosition(control::kAlphaSpin, alpha);
      return 1;
    }
    case window::msg::kCommand:
      switch (window::CommandId(w)) {
        case control::kChooseColor: {
          window::ColourRequest request;
          request.owner = dialog.Handle();
          request.initial = plug.ColorWord() & 0x00FFFFFF;
          request.customColours = &customColours;
          // Kept even when the settings are then cancelled.
          if (const auto chosen = window::ChooseColour(request)) {
            plug.SetColorWord((plug.ColorWord() & 0xFF000000) | (*chosen & 0x00FFFFFF));
          }
          return 1;
        }
        case window::kIdOk: {
          bool ok = false;
          // Read as unsigned: a number of 2^31 or more comes back negative
          // and counts as 0.
          int alpha = dialog.GetItemInt(control::kAlphaEdit, &ok, false);
          if (!ok || alpha < 0) alpha = 0;
          alpha = std::min(alpha, 255);
          plug.SetColorWord((plug.ColorWord() & 0x00FFFFFF) | uint32_t(alpha) << 24);
          return 1;
        }
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace

std::array<uint8_t, 4> ColorFillNoteColor(uint32_t colorWord, uint32_t options, uint8_t velocity) {
  std::array<uint8_t, 4> c = {uint8_t(colorWord), uint8_t(colorWord >> 8), uint8_t(colorWord >> 16),
                              uint8_t(colorWord >> 24)};
  if ((options & ColorFill::kVelocityActive) == 0) return c;
  const int v = velocity;
  if ((options & ColorFill::kVelocityBrightness) != 0) {
    for (int i = 0; i < 3; ++i) c[i] = Brightened(c[i], v);
  } else if ((options & ColorFill::kVelocityHue) != 0) {
    // Velocity 0 (never sent by MIDI, but possible from the keyboard) would
    // fall before the wheel's first step: it shows the first.
    const double h = double(std::max(v, 1) - 1) * (360.0 / 127.0) / 60.0;
    const int i = int(h);
    const double f = h - i;
    const uint8_t up = uint8_t(f * 255);
    const uint8_t down = uint8_t((1 - f) * 255);
    // Each step keeps two channels full: a pastel wheel.
    switch (i) {
      case 0: c[0] = 255, c[1] = up, c[2] = 255; break;
      case 1: c[0] = down, c[1] = 255, c[2] = 255; break;
      case 2: c[0] = 255, c[1] = 255, c[2] = up; break;
      case 3: c[0] = 255, c[1] = down, c[2] = 255; break;
      case 4: c[0] = up, c[1] = 255, c[2] = 255; break;
      case 5: c[0] = 255, c[1] = 255, c[2] = down; break;
      default: break;
    }
  }
  return c;
}

bool ColorFill::CreateDeviceObjects() {
  // A failed earlier attempt is never released by the host: start clean.
  ReleaseDeviceObjects();
  if (host == nullptr || host->GetDevice() == nullptr) return false;
  // Positions only: the fill needs no texture coordinates.
  const gfx::VertexElement elements[] = {
      {0, 0, gfx::DeclType::Float3, gfx::DeclUsage::Position, 0},
      gfx::kDeclEnd,
  };
  gfx::VertexDeclaration* declaration = nullptr;
  if (gfx::Succeeded(host->GetDevice()->CreateVertexDeclaration(elements, &declaration))) {
    declaration_ = gfx::Ref<gfx::VertexDeclaration>(declaration);
  }
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main", host->GetVertexShaderProfile());
  pixelShader_ = CompilePixelShader(host, kShader, "ps_passthrough", host->GetPixelShaderProfile());
  // Drawing needs all three; a missing vertex shader is no success either.
  if (!declaration_ || !vertexShader_ || !pixelShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  effectColorHandle_ = FindConstant(vertexShader_.constants, "EffectColor");
  return true;
}

bool ColorFill::Configure(lv::WindowHandle owner) {
  return RunPlugDialog<ColorFill>(kDialog, owner, *this, kCheckBoxes, &DialogProc);
}

void ColorFill::NoteOn() {
  const std::array<uint8_t, 4> c = ColorFillNoteColor(colorWord_, options_, velocity);
  for (int i = 0; i < 4; ++i) effectColor_[i] = float(c[i]) / 255.0f;
}


void ColorFill::Render(uint32_t) {
  if (!vertexShader_ || !pixelShader_ || host == nullptr) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;

  const d3dx::Matrix projection = d3dx::MatrixOrthoLH(2.0f, 2.0f, 0.0f, 2.0f);
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, effectColorHandle_, effectColor_);

  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  const bool blend = effectColor_[3] < 1.0f;
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, blend ? 1 : 0);
  if (blend) {
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  }
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  static constexpr float kCorners[4][3] = {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}};
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, kCorners, 3 * sizeof(float));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
}

bool ColorFill::Load(lv::ChunkStream* stream) {
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, nullptr},
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   // A shorter colour is not read: the word keeps its value.
                                   uint8_t bytes[4];
                                   if (tag == kColorTag && s.BytesLeft() >= 4 && s.ReadChunkData(bytes, 4)) {
                                     colorWord_ = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 |
                                                  uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
                                   }
                                 });
}

bool ColorFill::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, nullptr, nullptr, nullptr}, [this](lv::ChunkStream& s) {
    // Byte 0 red, as the word lies in memory.
    const uint8_t bytes[4] = {uint8_t(colorWord_), uint8_t(colorWord_ >> 8), uint8_t(colorWord_ >> 16),
                              uint8_t(colorWord_ >> 24)};
    return s.WriteChunk(kColorTag, bytes, 4);
  });
}

lv::PlugDesc* ColorFillDescriptor() {
  static lv::PlugDescriptor<ColorFill> descriptor;
  return &descriptor;
}

}  // namespace builtin
