#pragma once
// "String Theory": glowing closed loops of string that wobble with three
// sine waves each, drift, grow and fade in and out over their life; new loops
// are born at a steady rate, and a translucent black quad can fade the
// previous frame into trails.
#include <vector>

#include "class_id_bytes.h"
#include "generator.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"
#include "shader_objects.h"

namespace kestrix {

class StringTheory final : public Generator {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("ea40135bcaafa74b9c7de76c2610fc48");
  static constexpr const char* kCategory = "3D Generator";
  static constexpr const char* kName = "String Theory";
  static constexpr const char* kDescription = "Display glowing, vibrating loops of string";
  static constexpr uint32_t kEraseOnNoteOff = 1;
  enum Param { kErase, kWidth, kDiameter, kGrowth, kSpeed, kAmplitude, kLifeSpan, kBirthRate, kParamCount };

  struct Wave {
    float frequency, timeRate, amplitude;
  };
  struct Loop {
    uint32_t birth;  // elapsed time at birth
    uint32_t life;   // ms
    float x, y, direction, width, speed, size, growth, amplitude, amplitudeGrowth;
    Wave waves[3];
  };

  StringTheory() : Generator(kEraseOnNoteOff) {}
  ~StringTheory() override = default;

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool KeepAfterNoteOff() override;
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

  int32_t LoopCount() const { return int32_t(loops_.size()); }

 private:
  void Birth();
  uint32_t BirthInterval() const;

  int32_t params_[kParamCount] = {128, 128, 128, 128, 128, 128, 40, 100};
  std::vector<Loop> loops_;
  uint32_t elapsed_ = 0;
  uint32_t birthAccumulator_ = 0;
  bool keepPlaying_ = false;
  bool letGo_ = false;  // asked to keep playing since the last frame: no births

  gfx::Ref<gfx::VertexDeclaration> declaration_;
  gfx::Ref<gfx::VertexBuffer> vertices_;
  VertexShaderObjects loopShader_;
  VertexShaderObjects clearShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, color_, width_, time_, center_, size_, params1_, params2_, params3_;
  gfx::ConstantHandle clearMatWVP_, clearColor_;
};

}  // namespace kestrix
