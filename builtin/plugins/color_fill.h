#pragma once
// "Color Fill": fills the whole target with one colour, translucent when its
// alpha is below 255. The velocity can darken or brighten the colour or pick
// one from a six-step hue wheel.
#include <array>
#include <cstdint>

#include "lv/plug_desc.h"
#include "platform/gfx/resources.h"
#include "plugins/still_picture_plug.h"

namespace builtin {

// The colour a note shows: red, green, blue and alpha bytes from the colour
// word (byte 0 red .. byte 3 alpha) changed by the velocity as the options
// say. Alpha never follows the velocity.
std::array<uint8_t, 4> ColorFillNoteColor(uint32_t colorWord, uint32_t options, uint8_t velocity);

class ColorFill final : public StillPicturePlug<ColorFill> {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = {0xA622C573, 0x9D91, 0x4778, {0xBC, 0xAF, 0x04, 0x66, 0x85, 0xCF, 0x8A, 0xBA}};
  static constexpr const char* kCategory = "Basic";
  static constexpr const char* kName = "Color Fill";
  static constexpr const char* kDescription = "Fill the screen with a single color";

  // Option bits.
  static constexpr uint32_t kEraseOnNoteOff = 0x1;
  static constexpr uint32_t kVelocityActive = 0x2;
  static constexpr uint32_t kVelocityHue = 0x4;
  static constexpr uint32_t kVelocityBrightness = 0x8;  // wins over hue

  ColorFill() : StillPicturePlug(kEraseOnNoteOff) {}
  ~ColorFill() override = default;

  int32_t GetNumInputs() override { return 0; }
  const char* GetInputName(int32_t) override { return nullptr; }
  void SetInputName(int32_t, const char*) override {}
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void Render(uint32_t milliseconds) override;
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  uint32_t ColorWord() const { return colorWord_; }
  void SetColorWord(uint32_t word) { colorWord_ = word; }
  const float* EffectColor() const { return effectColor_; }

 private:
  uint32_t colorWord_ = 0xFF000000;  // opaque black
  float effectColor_[4] = {0, 0, 0, 1};

  gfx::ConstantHandle matWVP_{};
  gfx::ConstantHandle effectColorHandle_{};
};

lv::PlugDesc* ColorFillDescriptor();

}  // namespace builtin
