#include "text/show_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "module_dialogs.h"
#include "platform/gfx/device.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"
#include "platform/window/text_raster.h"
#include "source_quad.h"

namespace kestrix {
namespace {

constexpr uint32_t kShader = 119;
constexpr int kDialogTemplate = 117;
constexpr int kFontCombo = 1059;
constexpr int kHeightEdit = 1060;
constexpr int kHeightSpin = 1061;
constexpr int kTextEdit = 1065;
constexpr int kEraseCheck = 1018;
constexpr uint8_t kProofQuality = 2;
constexpr float kPi = 3.14159265358979f;

const uint32_t kFlagTag = lv::ChunkTag("FLAG");
const uint32_t kTextTag = lv::ChunkTag("TEXT");
const uint32_t kFontTag = lv::ChunkTag("FONT");

const lv::ParamInfo kParams[] = {
    {0, 3, 0, 1, lv::ChunkTag("FIDX"), "Font", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("COLR"), "Red", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("COLG"), "Green", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("COLB"), "Blue", nullptr},
    {0, 255, 255, 0, lv::ChunkTag("ALPH"), "Alpha", nullptr},
    {-400, 400, 0, 1, lv::ChunkTag("POSX"), "XPos", nullptr},
    {-400, 400, 0, 1, lv::ChunkTag("POSY"), "YPos", nullptr},
    {-800, 800, 100, 0, lv::ChunkTag("SIZX"), "Width", nullptr},
    {-800, 800, 100, 0, lv::ChunkTag("SIZY"), "Height", nullptr},
    {-500, 500, 100, 0, lv::ChunkTag("SCAL"), "Scale", nullptr},
    {-360, 360, 0, 1, lv::ChunkTag("ANGL"), "Angle", nullptr},
};

enum Param { kFont, kRed, kGreen, kBlue, kAlpha, kXPos, kYPos, kWidth, kHeight, kScale, kAngle };

}  // namespace

// The settings dialog: text, font family and height (which change the
// instance at once, so they stay after Cancel), and the erase option.
class ShowText::Dialog {
 public:
  explicit Dialog(ShowText& plug) : plug_(plug) {}

  std::intptr_t Handle(window::Dialog& dialog, window::MessageId message, window::WParam w, window::LParam l) {
    switch (message) {
      case window::msg::kInitDialog: Init(dialog); return 1;
      case window::msg::kCommand: return Command(dialog, window::CommandId(w), window::CommandCode(w));
      case window::msg::kNotify: {
        const auto* note = reinterpret_cast<const window::Notification*>(l);
        if (note != nullptr && note->controlId == kHeightSpin && note->code == window::NotificationCode::kSpinDelta) {
          SetHeight(dialog, note->position + note->delta);
        }
        return 0;
      }
      case window::msg::kClose: dialog.End(0); return 1;
      default: return 0;
    }
  }

 private:
  void Init(window::Dialog& dialog) {
    dialog.SetItemFont(kTextEdit, FontFor(plug_.font_));
    dialog.SetItemText(kTextEdit, plug_.text_);
    dialog.SetRange(kHeightSpin, 1, 999);
    dialog.SetPosition(kHeightSpin, plug_.font_.height);
    dialog.SetItemInt(kHeightEdit, plug_.font_.height);
    faces_ = window::ListFontFamilies();
    int selected = 0;
    for (size_t i = 0; i < faces_.size(); ++i) {
      const int item = dialog.AddString(kFontCombo, faces_[i]);
      dialog.SetItemData(kFontCombo, item, std::intptr_t(i));
      if (faces_[i] == plug_.font_.faceName) selected = item;
    }
    dialog.SetCurSel(kFontCombo, selected);
    dialog.CheckButton(kEraseCheck, (plug_.options_ & kEraseOnNoteOff) != 0 ? window::CheckState::kChecked
                                                                             : window::CheckState::kUnchecked);
    initialised_ = true;
  }

  std::intptr_t Command(window::Dialog& dialog, int id, window::NotifyCode code) {
    if (id == kFontCombo && code == window::NotifyCode::kSelectionChanged) {
      const std::intptr_t entry = dialog.GetItemData(kFontCombo, dialog.GetCurSel(kFontCombo));
      if (entry >= 0 && size_t(entry) < faces_.size()) {
        // A new family keeps the height set in the spin box.
        LogFont& font = plug_.font_;
        std::memset(font.faceName, 0, sizeof font.faceName);
        std::strncpy(font.faceName, faces_[size_t(entry)].c_str(), sizeof font.faceName - 1);
        FontChanged(dialog);
      }
      return 1;
    }
    if (id == kHeightEdit && code == window::NotifyCode::kTextChanged) {
      if (initialised_) SetHeight(dialog, dialog.GetPosition(kHeightSpin));
      return 1;
    }
    if (id == window::kIdOk) {
      plug_.text_ = dialog.GetItemText(kTextEdit);
      plug_.options_ = kit::DialogIsChecked(dialog, kEraseCheck) ? plug_.options_ | kEraseOnNoteOff
                                                                 : plug_.options_ & ~kEraseOnNoteOff;
      dialog.End(1);
      return 1;
    }
    if (id == window::kIdCancel) {
      dialog.End(0);
      return 1;
    }
    return 0;
  }

  void SetHeight(window::Dialog& dialog, int height) {
    plug_.font_.height = std::clamp(height, 1, 999);
    FontChanged(dialog);
  }

  void FontChanged(window::Dialog& dialog) {
    plug_.font_.width = 0;
    plug_.font_.quality = kProofQuality;
    dialog.SetItemFont(kTextEdit, FontFor(plug_.font_));
  }

  ShowText& plug_;
  std::vector<std::string> faces_;
  bool initialised_ = false;
};

ShowText::~ShowText() { ReleaseDeviceObjects(); }

const lv::ParamInfo* ShowText::GetParamInfo(int32_t i) { return &kParams[Index(i)]; }

window::FontDescription ShowText::FontFor(const LogFont& font) {
  window::FontDescription description;
  description.face.assign(font.faceName, strnlen(font.faceName, sizeof font.faceName));
  description.height = font.height;
  description.weight = font.weight == 0 ? 400 : font.weight;
  description.italic = font.italic != 0;
  description.underline = font.underline != 0;
  description.strikeOut = font.strikeOut != 0;
  return description;
}

uint32_t ShowText::PowerOfTwoSide(lv::LorvaneInterface* host, uint32_t n) {
  uint32_t side = host->TextureSize(n);
  if (side < n) side *= 2;
  return std::max<uint32_t>(side, 1);
}

bool ShowText::CreateDeviceObjects() {
  // A failed earlier attempt is never called back by the host: start clean.
  ReleaseDeviceObjects();
  if (host == nullptr) return false;
  gfx::Device* device = host->GetDevice();
  declaration_ = gfx::Ref<gfx::VertexDeclaration>(CreateQuadDeclaration(device));
  vertexShader_ = CompileVertexShader(host, kShader, "vs_main");
  pixelShader_ = CompilePixelShader(host, kShader, "ps_lumaalpha");
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  window::TextExtent extent;
  const window::FontDescription font = FontFor(font_);
  if (!declaration_ || !vertexShader_ || !pixelShader_ || target == nullptr || text_.empty() ||
      !window::MeasureText(font, text_, &extent)) {
    ReleaseDeviceObjects();
    return false;
  }
  matWVP_ = FindConstant(vertexShader_.constants, "matWVP");
  colorHandle_ = FindConstant(vertexShader_.constants, "Color");
  targetWidth_ = float(target->width);
  targetHeight_ = float(target->height);
  textWidth_ = float(extent.width);
  textHeight_ = float(extent.height);

  const bool anySize = host->NonPow2Supported();
  const uint32_t width = anySize ? extent.width : PowerOfTwoSide(host, extent.width);
  const uint32_t height = anySize ? extent.height : PowerOfTwoSide(host, extent.height);
  uExtent_ = textWidth_ / float(width);
  vExtent_ = textHeight_ / float(height);

  std::vector<uint32_t> pixels;
  texture_ = gfx::Ref<gfx::Texture>(
      host->CreateTexture(width, height, gfx::Format::X8R8G8B8, gfx::usage::Dynamic, gfx::Pool::Default));
  gfx::LockedRect locked{};
  if (!texture_ || !window::RasteriseText(font, text_, width, height, &pixels) ||
      gfx::Failed(texture_->LockRect(0, &locked, nullptr, gfx::lock::Discard))) {
    ReleaseDeviceObjects();
    return false;
  }
  for (uint32_t y = 0; y < height; ++y) {
    std::memcpy(static_cast<uint8_t*>(locked.bits) + size_t(y) * size_t(locked.pitch), pixels.data() + size_t(y) * width,
                size_t(width) * 4);
  }
  texture_->UnlockRect(0);
  return true;
}

void ShowText::ReleaseDeviceObjects() {
  texture_ = {};
  declaration_ = {};
  vertexShader_ = {};
  pixelShader_ = {};
}

bool ShowText::Configure(lv::WindowHandle owner) {
  Dialog procedure(*this);
  const std::intptr_t result = window::RunModalDialog(
      ModuleDialogs(), kDialogTemplate, static_cast<window::WindowHandle>(owner),
      [&procedure](window::Dialog& d, window::MessageId m, window::WParam w, window::LParam l) {
        return procedure.Handle(d, m, w, l);
      });
  return result == 1;
}

void ShowText::NoteOff() {
  if ((options_ & kEraseOnNoteOff) == 0 || host == nullptr || host->GetDevice() == nullptr) return;
  host->GetDevice()->Clear(0, nullptr, gfx::clear::Target, 0xFF000000, 1.0f, 0);
}

void ShowText::Render(uint32_t) {
  if (!texture_ || host == nullptr) return;
  gfx::Device* device = host->GetDevice();
  const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
  if (device == nullptr || target == nullptr) return;

  const float theta = -float(params_[kAngle]) * kPi / 360.0f;
  const float c = std::cos(theta), s = std::sin(theta);
  const float scale = float(params_[kScale]) * 0.0001f;
  const float sx = scale * float(params_[kWidth]) * textWidth_;
  const float sy = scale * float(params_[kHeight]) * textHeight_;
  const float dx = float(params_[kXPos]) * targetWidth_ * 0.005f;
  const float dy = float(params_[kYPos]) * targetHeight_ * 0.005f;
  auto corner = [&](float x, float y, float u, float v) {
    return QuadVertex{x * c - y * s + dx, x * s + y * c + dy, 1.0f, u, v};
  };
  const QuadVertex vertices[4] = {
      corner(-sx, +sy, 0, 0),
      corner(+sx, +sy, uExtent_, 0),
      corner(+sx, -sy, uExtent_, vExtent_),
      corner(-sx, -sy, 0, vExtent_),
  };

  const d3dx::Matrix projection = TargetProjection(target->width, target->height);
  const float color[4] = {float(params_[kRed]) / 255.0f, float(params_[kGreen]) / 255.0f,
                          float(params_[kBlue]) / 255.0f, float(params_[kAlpha]) / 255.0f};
  gfx::ConstantSink& constants = device->Constants();
  vertexShader_.constants->SetMatrix(constants, matWVP_, &projection.m[0][0]);
  vertexShader_.constants->SetVector(constants, colorHandle_, color);

  device->SetTexture(0, texture_.get());
  device->SetSamplerState(0, gfx::SamplerState::AddressU, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::AddressV, uint32_t(gfx::Address::Clamp));
  device->SetSamplerState(0, gfx::SamplerState::MagFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MinFilter, uint32_t(gfx::Filter::Linear));
  device->SetSamplerState(0, gfx::SamplerState::MipFilter, uint32_t(gfx::Filter::Point));
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 1);
  device->SetRenderState(gfx::RenderState::SrcBlend, uint32_t(gfx::Blend::SrcAlpha));
  device->SetRenderState(gfx::RenderState::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha));
  device->SetRenderState(gfx::RenderState::BlendOp, uint32_t(gfx::BlendOp::Add));
  device->SetRenderState(gfx::RenderState::CullMode, uint32_t(gfx::Cull::None));
  device->SetRenderState(gfx::RenderState::ZEnable, 0);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 0);

  device->SetVertexDeclaration(declaration_.get());
  device->SetVertexShader(vertexShader_.shader.get());
  device->SetPixelShader(pixelShader_.shader.get());
  device->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, vertices, sizeof(QuadVertex));

  device->SetVertexShader(nullptr);
  device->SetPixelShader(nullptr);
  device->SetRenderState(gfx::RenderState::AlphaBlendEnable, 0);
  device->SetRenderState(gfx::RenderState::ZEnable, 1);
  device->SetRenderState(gfx::RenderState::ZWriteEnable, 1);
  device->SetTexture(0, nullptr);
}

bool ShowText::Load(lv::ChunkStream* stream) {
  text_.clear();
  while (const uint32_t tag = stream->NextChunk()) {
    const int32_t size = stream->BytesLeft();
    if (tag == kFlagTag) {
      uint32_t options = 0;
      if (stream->ReadUInt32(&options)) options_ = options;
    } else if (tag == kFontTag && size >= int32_t(sizeof(LogFont))) {
      LogFont font;
      if (stream->ReadChunkData(&font, int32_t(sizeof font))) {
        font.faceName[sizeof font.faceName - 1] = '\0';
        font_ = font;
      }
    } else if (tag == kTextTag && size > 0) {
      std::string bytes(size_t(size), '\0');
      // The text ends at its NUL, or at the chunk's end when it has none.
      if (stream->ReadChunkData(bytes.data(), size)) text_.assign(bytes.c_str());
    }
  }
  return true;
}

bool ShowText::Save(lv::ChunkStream* stream) {
  // A patch without text yet saves an empty one.
  return stream->WriteUInt32Chunk(kFlagTag, &options_) &&
         stream->WriteChunk(kTextTag, text_.c_str(), int32_t(text_.size() + 1)) &&
         stream->WriteChunk(kFontTag, &font_, int32_t(sizeof font_)) && stream->WriteEnd();
}

}  // namespace kestrix
