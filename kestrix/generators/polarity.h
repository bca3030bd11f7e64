#pragma once
// "Polarity": up to 16 concentric soft-edged arcs of colour. Each arc's
// centre, start, length, speed and hue drift towards random targets; their
// common radius and width drift too, and a change of centre ripples outwards
// one arc a frame.
#include <vector>

#include "class_id_bytes.h"
#include "generator.h"
#include "animated_value.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"
#include "shader_objects.h"

namespace kestrix {

class Polarity final : public Generator {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("cc6ecd242b7b5b42958900ac3a0167ea");
  static constexpr const char* kCategory = "3D Generator";
  static constexpr const char* kName = "Polarity";
  static constexpr const char* kDescription = "Display rings of color";
  static constexpr uint32_t kEraseOnNoteOff = 1;
  static constexpr int kArcs = 16;
  enum Param { kCenterX, kCenterY, kRings, kMovement, kColor, kParamCount };

  struct Arc {
    AnimatedValue x, y, start, length, speed, hue;
    float rotation = 0.0f;
  };

  Polarity();
  ~Polarity() override;

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override;

 private:
  void SetMovementFractions();
  void SetColorFractions();
  float RandomSpeed() const;

  int32_t params_[kParamCount] = {0, 0, 5, 200, 200};
  std::vector<Arc> arcs_;
  AnimatedValue radius_;  // centre radius of the ring set
  AnimatedValue width_;   // total width of the ring set
  uint32_t elapsed_ = 0;

  gfx::Ref<gfx::VertexDeclaration> declaration_;
  gfx::Ref<gfx::VertexBuffer> vertices_;
  gfx::Ref<gfx::IndexBuffer> indices_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, center_, color_, radiusWidth_, angles_;
};

}  // namespace kestrix
