#pragma once
// "Rays Generator": up to 500 glowing rays, each a soft band from a point on
// one circle to the matching point on a second; the circles orbit a common
// centre in opposite directions while their radii, angles, hues and
// separation drift, or follow the parameters by hand. The rays are added to
// the picture, so crossings glow.
#include "class_id_bytes.h"
#include "generator.h"
#include "animated_value.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"
#include "shader_objects.h"

namespace kestrix {

class RaysGenerator final : public Generator {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("d2f849da17a0ab4bb50174c042a9d84a");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Rays Generator";
  static constexpr const char* kDescription = "Draw moving rays of color";
  static constexpr uint32_t kEraseOnNoteOff = 1;
  static constexpr uint32_t kRandomizeEachNote = 2;
  static constexpr uint32_t kClearEachFrame = 4;
  static constexpr uint32_t kManual = 32;
  static constexpr int32_t kMaxRays = 500;
  enum Param {
    kRays, kSpeed, kBright1, kSize1, kBright2, kSize2, kRollRate, kSplit,
    kHue1, kRadius1, kAngle1, kHue2, kRadius2, kAngle2, kParamCount
  };

  RaysGenerator() : Generator(14) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override;

 private:
  struct Circle {
    AnimatedValue radius, angle, hue;
  };

  void Randomize();
  void SetStepFractions();
  void DrawRays(float height);

  int32_t params_[kParamCount] = {80, 50, 255, 50, 30, 50, 250, 250, 0, 150, 150, 250, -150, -150};
  uint32_t lastFrame_ = 0;
  AnimatedValue rollRate_;
  float roll_ = 0.0f;  // radians
  AnimatedValue separation_;
  Circle a_, b_;

  gfx::Ref<gfx::VertexDeclaration> declaration_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, color_;
};

}  // namespace kestrix
