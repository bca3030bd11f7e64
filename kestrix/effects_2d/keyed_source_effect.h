#pragma once
// What Chroma Key and Wipe share: the option bits 0 to 3, note on and off,
// the frame-size check and the sampling of the source (linear only when a
// stretched frame is resized).
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class KeyedSourceEffect : public SourceEffect {
 public:
  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
  };

  int32_t GetNumParams() override { return 4; }
  int32_t GetParam(int32_t i) override { return params_[ParamIndex(i)]; }
  void SetParam(int32_t i, int32_t value) override { params_[ParamIndex(i)] = value; }
  void NoteOn() override;
  void NoteOff() override { EraseAndDetach(kEraseOnNoteOff); }

 protected:
  KeyedSourceEffect(uint32_t options, const int32_t (&initial)[4]) : SourceEffect(options) {
    for (int i = 0; i < 4; ++i) params_[i] = initial[i];
  }
  static size_t ParamIndex(int32_t i) { return i >= 0 && i < 4 ? size_t(i) : 0; }

  // Source, declaration and the shader pair; false leaves nothing held.
  bool CreateObjects(uint32_t shaderId, const char* pixelEntry);
  void ReleaseEffectObjects() override;
  // Advances time and source and binds the source texture; false when there
  // is nothing to draw. Fills the device and the target's description.
  bool BeginDraw(uint32_t milliseconds, gfx::Device** device, const gfx::SurfaceDesc** target);
  // Draws the quad at depth z with the shader pair, then unbinds them.
  void DrawSource(gfx::Device* device, const gfx::SurfaceDesc& target, float z);

  int32_t params_[4] = {};
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  HalfExtents half_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_;
};

}  // namespace kestrix
