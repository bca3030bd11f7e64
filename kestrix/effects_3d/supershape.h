#pragma once
// "SuperShape": a cloud of 20100 points on a 3D superformula surface that
// morphs through eight shapes, two seconds each, textured with a video
// source and turned and viewed like the library's other camera effects.
#include "class_id_bytes.h"
#include "platform/gfx/constant_table.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class SuperShape final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("3ac9fda94674cc4a8a3d3fd8e3e7b823");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "SuperShape";
  static constexpr const char* kDescription = "Display a 3D SuperShape object";

  static constexpr uint32_t kTransparentBlack = 1;
  static constexpr uint32_t kEraseOnNoteOff = 2;
  static constexpr uint32_t kResetEachNote = 4;
  static constexpr uint32_t kLooped = 8;
  static constexpr uint32_t kVolumeFollowsVelocity = 16;
  static constexpr uint32_t kPanFollowsVelocity = 32;
  static constexpr uint32_t kSustain = 64;
  static constexpr uint32_t kClearTarget = 128;
  static constexpr uint32_t kClearDepth = 256;
  static constexpr uint32_t kAbsolute = 512;
  static constexpr uint32_t kVelocitySpinX = 1024;
  static constexpr uint32_t kVelocitySpinY = 2048;
  static constexpr uint32_t kVelocitySpinZ = 4096;
  static constexpr uint32_t kShowInsideOnly = 8192;
  static constexpr int kPoints = 201 * 100;
  enum Param { kRotX, kRotY, kRotZ, kPosX, kPosY, kDepth, kAlpha, kParamCount };

  SuperShape() : SourceEffect(3358) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool KeepAfterNoteOff() override { return keepPlaying_; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;
  void Draw(gfx::Device* device, const float color[4]);

  int32_t params_[kParamCount] = {-180, 210, 0, 0, 0, 100, 255};
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  float angles_[3] = {0.0f, 0.0f, 0.0f};  // about X, Y and Z, radians
  uint32_t elapsed_ = 0;
  uint32_t lastFrame_ = 0;
  bool keepPlaying_ = false;

  gfx::Ref<gfx::VertexBuffer> points_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, color_, aN_, bN_, aM_, bM_, keyColor_, keyDist_;
};

}  // namespace kestrix
