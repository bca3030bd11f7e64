#pragma once
// "Cube Wall Source": a wall of 45 x 45 small cubes, each turning about its
// own centre in a swirl; optionally the source is projected across the wall
// from the screen, and optionally the audio spectrum sizes and colours the
// cubes in rings round the centre. The cubes are drawn 15 at a time from one
// small buffer, placed by constant arrays.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class CubeWallSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("e73794e0cf0f6d4c82138fe3e9e95a77");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Cube Wall Source";
  static constexpr const char* kDescription = "Draws a wall of rotating cubes";

  enum Option : uint32_t {
    kEraseOnNoteOff = 1u << 0,
    kResetEachNote = 1u << 1,
    kLooped = 1u << 2,
    kVolumeFollowsVelocity = 1u << 3,
    kPanFollowsVelocity = 1u << 4,
    kProjectSource = 1u << 5,
    kClearFrame = 1u << 6,
    kRespondToAudio = 1u << 7,
  };
  static constexpr uint32_t kInitialOptions = 47;
  enum Param : int32_t { kDepth, kRotate, kTilt, kSaturate, kAlpha, kParamCount };
  static constexpr int kCubesPerBatch = 15;
  static constexpr int kWallSide = 45;
  static constexpr int kBands = 25;

  CubeWallSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

  // The colour of hue angle h at saturation s (clamped to 0..1), as RGB.
  static void HueColour(float h, float s, float* rgb);

 private:
  void ReleaseEffectObjects() override;
  void Draw(gfx::Device* device);
  void ReadSpectrum(float* saturation);

  int32_t params_[kParamCount] = {320, 0, 0, 255, 255};
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  uint32_t elapsed_ = 0;
  float bands_[kBands] = {};
  float levels_[4] = {};
  int ringIndex_ = 0;
  gfx::Ref<gfx::VertexBuffer> vertices_;
  gfx::Ref<gfx::IndexBuffer> indices_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle view_, viewProj_, cubeRot_, cubeTransScale_, cubeColor_;
};

}  // namespace kestrix
