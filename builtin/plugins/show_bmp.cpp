#include "plugins/show_bmp.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx/device_texture.h"
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
#include "plugins/quad_vertex.h"

namespace builtin {
namespace {

constexpr uint32_t kShader = 119;
constexpr int kDialog = 106;
constexpr uint32_t kZoomFromTag = lv::ChunkTag("ZMFR");
constexpr uint32_t kZoomToTag = lv::ChunkTag("ZMTO");

namespace control {
constexpr int kZoomFrom = 1044;
constexpr int kZoomTo = 1046;
}  // namespace control

constexpr kit::OptionCheckBox kCheckBoxes[] = {
    {1015, ShowBmp::kStretch},           {1016, ShowBmp::kAlphaBlend},
    {1018, ShowBmp::kEraseOnNoteOff},    {1022, ShowBmp::kVelocityActive},
    {1042, ShowBmp::kVelocityZoom},      {1038, ShowBmp::kVelocityQuarter},
    {1040, ShowBmp::kVelocityNinth},     {1049, ShowBmp::kVelocitySixteenth},
    {1055, ShowBmp::kVelocityBrightness},
};

// The file chooser's buffer holds 256 characters.
constexpr size_t kFileNameRoom = 255;

void ChooseFile(ShowBmp& plug, window::Dialog& dialog) {
  window::FileDialogRequest request;
  request.owner = dialog.Handle();
  request.title = "Select image to assign";
  request.filter = std::string("Image Files\0*.bmp;*.dds;*.jpg;*.png;*.tga\0\0", 43);
  const char* current = plug.FileName().Get();
  if (current != nullptr) request.initialPath = std::string(current).substr(0, kFileNameRoom);
  request.fileMustExist = true;
  // Taken at once: a file chosen here stays even if the settings are cancelled.
  if (const auto chosen = window::GetOpenFileName(request)) {
    plug.FileName().Set(chosen->c_str());
    dialog.SetItemText(kit::kSourceNameStatic, *chosen);
  }
}

std::intptr_t DialogProc(ShowBmp& plug, window::Dialog& dialog, window::MessageId message, window::WParam w) {
  switch (message) {
    case window::msg::kInitDialog: {
      if (const char* name = plug.FileName().Get()) dialog.SetItemText(kit::kSourceNameStatic, name);
      dialog.SetItemInt(control::kZoomFrom, plug.ZoomFrom(), false);
      dialog.SetItemInt(control::kZoomTo, plug.ZoomTo(), false);
      // A new patch starts by choosing its image.
      if (plug.FileName().Get() == nullptr) dialog.Post(window::msg::kCommand, window::MakeCommand(kit::kSourceButton), 0);
      return 1;
    }
    case window::msg::kCommand:
      switch (window::CommandId(w)) {
        case kit::kSourceButton:
          ChooseFile(plug, dialog);
          return 1;
        case window::kIdOk: {
          // Percentages are unsigned: a text that is no number gives 0.
          plug.SetZoomFrom(std::max(dialog.GetItemInt(control::kZoomFrom, nullptr, false), 0));
          plug.SetZoomTo(std::max(dialog.GetItemInt(control::kZoomTo, nullptr, false), 0));
          return 1;
        }
        default:
          return 0;
      }
    default:
      return 0;
  }
}

}  // namespace

ShowBmpLayout ShowBmpNoteLayout(uint32_t options, uint8_t velocity, uint32_t targetWidth, uint32_t targetHeight,
                                uint32_t imageWidth, uint32_t imageHeight) {
  ShowBmpLayout layout;
  const float W = float(targetWidth), H = float(targetHeight);
  const bool stretch = (options & ShowBmp::kStretch) != 0;
  layout.halfWidth = stretch ? W / 2 : float(imageWidth) / 2;
  layout.halfHeight = stretch ? H / 2 : float(imageHeight) / 2;
  if ((options & ShowBmp::kVelocityActive) == 0) return layout;

  const int v = velocity;
  // The first velocity option set wins.
  if ((options & ShowBmp::kVelocityZoom) != 0) {
    layout.zooming = true;
  } else if ((options & ShowBmp::kVelocityQuarter) != 0) {
    const float hw = W / 4, hh = H / 4;
    const int column = (v >> 5) & 1, row = v >> 6;
    layout = {hw, hh, 2 * column * hw - hw, 2 * row * hh - hh, 0.25f, false};
  } else if ((options & ShowBmp::kVelocityNinth) != 0) {
    const float hw = W / 6, hh = H / 6;
    // The top velocities would round to a tenth cell outside the grid; they
    // take the last one.
    const int cell = std::min(int(v * 9.0f / 127.0f + 0.5f), 8);
    const int column = cell % 3, row = cell / 3;
    layout = {hw, hh, float(2 * column - 2) * hw, float(2 * row - 2) * hh, 0.25f, false};
  } else if ((options & ShowBmp::kVelocitySixteenth) != 0) {
    const float hw = W / 8, hh = H / 8;
    const int column = (v >> 3) & 3, row = v >> 5;
    layout = {hw, hh, 2 * column * hw - 3 * hw, 2 * row * hh - 3 * hh, 0.25f, false};
  } else if ((options & ShowBmp::kVelocityBrightness) != 0) {
    layout.brightness = v <= 64 ? float(v) / 128.0f : 0.25f + 0.75f * float(v - 64) / 63.0f;
  }
  return layout;
}

void ShowBmp::SetZoomFrom(int32_t percent) {
  zoomFrom_ = percent;
  zoomFromFactor_ = float(percent) * 0.01f;
}

void ShowBmp::SetZoomTo(int32_t percent) {
  zoomTo_ = percent;
  zoomToFactor_ = float(percent) * 0.01f;
}

bool ShowBmp::CreateDeviceObjects() {
  // A failed earlier attempt is never released by the host: start clean.
  ReleaseDeviceObjects();
  if (host == nullptr || fileName_.Get() == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return false;
  targetWidth_ = target->width;
  targetHeight_ = target->height;

  d3dx::TextureFileOptions options;
  options.pool = gfx::Pool::Default;
  d3dx::ImageInfo info;
  gfx::Texture* texture = nullptr;
  if (gfx::Failed(d3dx::CreateTextureFromFileEx(device, fileName_.Get(), options, &info, &texture))) return false;
  texture_ = gfx::Ref<gfx::Texture>(texture);
  imageWidth_ = info.width;
  imageHeight_ = info.height;

  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(device));
  // The fixed-function stage does the pixel work: no pixel shader.
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main", "vs_2_0");
  if (!declaration_ || !vertexShader_) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  color_ = FindConstant(vertexShader_.constants, "Color");
  layout_ = ShowBmpNoteLayout(options_, velocity, targetWidth_, targetHeight_, imageWidth_, imageHeight_);
  return true;
}

void ShowBmp::ReleaseDeviceObjects() {
  texture_ = {};
  ReleaseDrawingObjects();
}

bool ShowBmp::Configure(lv::WindowHandle owner) {
  return RunPlugDialog<ShowBmp>(kDialog, owner, *this, kCheckBoxes, &DialogProc);
}

void ShowBmp::NoteOn() {
  layout_ = ShowBmpNoteLayout(options_, velocity, targetWidth_, targetHeight_, imageWidth_, imageHeight_);
  if (layout_.zooming) {
    zoom_ = zoomFromFactor_;
    zoomStep_ = float(velocity) / 256.0f;
  }
}


float ShowBmp::StepZoom() {
  const float shown = zoom_;
  if (zoomFrom_ < zoomTo_) {
    zoom_ = std::min(zoom_ + zoomStep_, zoomToFactor_);
  } else {
    zoom_ = std::max(zoom_ - zoomStep_, zoomToFactor_);
  }
  return shown;
}

void ShowBmp::Render(uint32_t) {
  ShowBmpLayout quad = layout_;
  if (quad.zooming && (options_ & (kVelocityActive | kVelocityZoom)) == (kVelocityActive | kVelocityZoom)) {
    const float zoom = StepZoom();
    quad.halfWidth *= zoom;
    quad.halfHeight *= zoom;
  }
  if (!texture_ || !vertexShader_ || host == nullptr) return;
  gfx::Device* device = host->GetDevice();
  if (device == nullptr) return;

  device->SetTexture(0, texture_.get());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MipFilter, uint32_t(gfx::Filter::Point));
  // Texture x colour x 4: the grey 0.25 shows the image at its own brightness.
  device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, uint32_t(gfx::TextureOp::Modulate4X));

  const d3dx::Matrix projection = TargetProjection(targetWidth_, targetHeight_);
  const float color[4] = {quad.brightness, quad.brightness, quad.brightness, 1.0f};
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, color_, color);

  const bool blend = (options_ & kAlphaBlend) != 0;
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, blend ? 1 : 0);
  if (blend) {
    device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
    device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  }
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);
  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  const float x = quad.offsetX, y = quad.offsetY, hw = quad.halfWidth, hh = quad.halfHeight;
  const QuadVertex vertices[4] = {
      {x - hw, y + hh, 1.0f, 0.0f, 0.0f},
      {x + hw, y + hh, 1.0f, 1.0f, 0.0f},
      {x + hw, y - hh, 1.0f, 1.0f, 1.0f},
      {x - hw, y - hh, 1.0f, 0.0f, 1.0f},
  };
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(QuadVertex));
  device->SetVertexShader(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);

  device->SetTextureStageState(0, gfx::TextureStageState::ColorOp, uint32_t(gfx::TextureOp::Modulate));
  device->SetTexture(0, nullptr);
}

bool ShowBmp::Load(lv::ChunkStream* stream) {
  // No volume or pan: those chunks, should a file hold them, are skipped.
  return kit::LoadFlagNameVolPan(stream, host, {&options_, nullptr, nullptr, &fileName_},
                                 [this](uint32_t tag, lv::ChunkStream& s) {
                                   uint32_t value = 0;
                                   if (s.BytesLeft() < 4) return;
                                   if (tag == kZoomFromTag && s.ReadUInt32(&value)) SetZoomFrom(int32_t(value));
                                   if (tag == kZoomToTag && s.ReadUInt32(&value)) SetZoomTo(int32_t(value));
                                 });
}

bool ShowBmp::Save(lv::ChunkStream* stream) {
  return kit::SaveFlagNameVolPan(stream, {&options_, nullptr, nullptr, &fileName_}, [this](lv::ChunkStream& s) {
    const uint32_t from = uint32_t(zoomFrom_), to = uint32_t(zoomTo_);
    return s.WriteUInt32Chunk(kZoomFromTag, &from) && s.WriteUInt32Chunk(kZoomToTag, &to);
  });
}

lv::PlugDesc* ShowBmpDescriptor() {
  static lv::PlugDescriptor<ShowBmp> descriptor;
  return &descriptor;
}

}  // namespace builtin
