#pragma once
// "ShowText": one line of text in a chosen font, rendered once into a
// texture when the device objects are made, drawn each frame as a coloured,
// scaled, rotated and placed quad with the glyphs as alpha.
#include <cstdint>
#include <string>

#include "class_id_bytes.h"
#include "lv/plug.h"
#include "platform/gfx/resources.h"
#include "platform/window/fonts.h"
#include "shader_objects.h"

namespace kestrix {

// A font description as patches store it (60 bytes, little-endian).
struct LogFont {
  int32_t height = 12;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 0;
  uint8_t italic = 0;
  uint8_t underline = 0;
  uint8_t strikeOut = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 2;  // proof
  uint8_t pitchAndFamily = 0;
  char faceName[32] = {};
};
static_assert(sizeof(LogFont) == 60);

class ShowText final : public lv::Plug {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("1d83ac81b42e904e952af672242757a6");
  static constexpr const char* kCategory = "Text";
  static constexpr const char* kName = "ShowText";
  static constexpr const char* kDescription = "Display a text string";
  static constexpr uint32_t kEraseOnNoteOff = 1u << 0;

  ShowText() = default;
  ~ShowText() override;

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool KeepAfterNoteOff() override { return false; }

  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override {}
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  int32_t GetNumParams() override { return 11; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[Index(i)]; }
  void SetParam(int32_t i, int32_t value) override { params_[Index(i)] = value; }

  // The font the text is drawn in.
  static window::FontDescription FontFor(const LogFont& font);
  // A texture side for n texels without non-power-of-two textures: the
  // host's power of two, doubled when it rounded below n.
  static uint32_t PowerOfTwoSide(lv::LorvaneInterface* host, uint32_t n);

  float UExtent() const { return uExtent_; }
  float VExtent() const { return vExtent_; }

 private:
  class Dialog;
  static size_t Index(int32_t i) { return i >= 0 && i < 11 ? size_t(i) : 0; }

  uint32_t options_ = kEraseOnNoteOff;
  int32_t params_[11] = {0, 255, 255, 255, 255, 0, 0, 100, 100, 100, 0};
  std::string text_;
  LogFont font_;
  float targetWidth_ = 0, targetHeight_ = 0;
  float textWidth_ = 0, textHeight_ = 0;
  float uExtent_ = 0, vExtent_ = 0;
  gfx::Ref<gfx::Texture> texture_;
  gfx::Ref<gfx::VertexDeclaration> declaration_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_;
};

}  // namespace kestrix
