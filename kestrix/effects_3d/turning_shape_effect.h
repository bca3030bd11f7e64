#pragma once
// What the pulsing sphere and the cubist box share: a source wrapped round a
// shape that turns about three axes (held at an angle, turning a little each
// frame, or spinning with time and the note's velocity), seen through a
// camera whose distance follows "Depth", drawn inside first and then outside.
#include <array>
#include <cstdint>
#include <span>

#include "platform/d3dx/math.h"
#include "platform/window/kit/dialog_helpers.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class TurningShapeEffect : public SourceEffect {
 public:
  enum Option : uint32_t {
    kTransparentBlack = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
    kSustain = 1u << 6,
    kClearFrame = 1u << 7,
    kClearDepth = 1u << 8,
    kAbsolute = 1u << 9,
    kVelocitySpinX = 1u << 10,
    kVelocitySpinY = 1u << 11,
    kVelocitySpinZ = 1u << 12,
    kInsideOnly = 1u << 13,
    kLighting = 1u << 14,
    kSquareAspect = 1u << 15,
  };
  // The parameters both have first.
  enum Param : int32_t { kRotX, kRotY, kRotZ, kPosX, kPosY, kDepth, kAlpha, kSharedParamCount };

  // Radio pairs over one option bit each: the button checked while the bit
  // is clear, the one checked while it is set.
  struct RadioPair {
    int clearId, setId;
    uint32_t bit;
  };

  bool KeepAfterNoteOff() override { return keepPlaying_; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool IsParamEnabled(int32_t) override { return true; }

  // The camera's z for a "Depth" value (the eye looks towards +z).
  static float CameraDistance(int32_t depth);

 protected:
  TurningShapeEffect(uint32_t options, int templateId, uint32_t shaderId)
      : SourceEffect(options), templateId_(templateId), shaderId_(shaderId) {}

  struct Buffers {
    gfx::Ref<gfx::VertexBuffer> vertices;
    gfx::Ref<gfx::IndexBuffer> indices;
    uint32_t vertexCount = 0;
    uint32_t triangleCount = 0;
  };
  // The shape's vertex layout (ends with kDeclEnd) and vertex size.
  virtual const gfx::VertexElement* VertexLayout() const = 0;
  virtual uint32_t VertexStride() const = 0;
  // Builds the shape's buffers; empty buffers on failure.
  virtual Buffers BuildShape(gfx::Device* device) = 0;
  // Each frame first: a shape that must be rebuilt does it here.
  virtual void BeforeFrame(gfx::Device*, uint32_t /*milliseconds*/) {}
  // The shape's own vertex-shader constants of this frame.
  virtual void SetShapeConstants(gfx::ConstantSink& sink, const gfx::ConstantTable& table) = 0;
  virtual gfx::Address TextureAddress() const = 0;
  // Note on: the class's own state starts again; `resetPlayback` with the
  // "Reset Playback each note" bit.
  virtual void StartNote(bool resetPlayback) = 0;
  virtual std::span<const RadioPair> RadioPairs() const = 0;
  virtual std::span<const kit::OptionCheckBox> CheckBoxes() const = 0;

  int32_t params_[10] = {};  // the shared seven, then the class's own (at most three)
  uint32_t lastFrameTime_ = 0;
  Buffers shape_;
  VertexShaderObjects vertexShader_;

 private:
  void ReleaseEffectObjects() override;
  void Turn();
  void Draw(gfx::Device* device);

  int templateId_;
  uint32_t shaderId_;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  float angles_[3] = {};
  bool keepPlaying_ = false;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, matView_, colorHandle_, keyColor_, keyDist_;
};

// Writes the 16-bit indices of a grid of `rings` rings of `perRing`
// vertices, two triangles a quad between neighbouring rings; gives the count
// of triangles.
uint32_t FillRingIndices(uint16_t* indices, uint32_t rings, uint32_t perRing);

// Vertex and index buffers (write-only, default pool); both or neither.
bool CreateShapeBuffers(gfx::Device* device, uint32_t vertexBytes, uint32_t indexBytes,
                        gfx::Ref<gfx::VertexBuffer>* vertices, gfx::Ref<gfx::IndexBuffer>* indices);

// The check boxes of the options both shapes have, in the dialogs' order.
inline constexpr kit::OptionCheckBox kShapeCheckBoxes[] = {
    {1016, TurningShapeEffect::kTransparentBlack},
    {1018, TurningShapeEffect::kEraseOnNoteOff},
    {1023, TurningShapeEffect::kResetEachNote},
    {1020, TurningShapeEffect::kLooped},
    {kit::audio_box::kVolumeVelocity, TurningShapeEffect::kVolumeFollowsVelocity},
    {kit::audio_box::kPanVelocity, TurningShapeEffect::kPanFollowsVelocity},
    {1021, TurningShapeEffect::kSustain},
    {1022, TurningShapeEffect::kClearFrame},
    {1024, TurningShapeEffect::kClearDepth},
    {1087, TurningShapeEffect::kVelocitySpinX},
    {1088, TurningShapeEffect::kVelocitySpinY},
    {1095, TurningShapeEffect::kVelocitySpinZ},
    {1025, TurningShapeEffect::kInsideOnly},
    {1026, TurningShapeEffect::kLighting},
    {1027, TurningShapeEffect::kSquareAspect},
};

// The shared check boxes followed by a class's own.
template <size_t N>
constexpr std::array<kit::OptionCheckBox, std::size(kShapeCheckBoxes) + N> WithShapeCheckBoxes(
    const kit::OptionCheckBox (&own)[N]) {
  std::array<kit::OptionCheckBox, std::size(kShapeCheckBoxes) + N> all{};
  size_t i = 0;
  for (const kit::OptionCheckBox& box : kShapeCheckBoxes) all[i++] = box;
  for (const kit::OptionCheckBox& box : own) all[i++] = box;
  return all;
}

}  // namespace kestrix
