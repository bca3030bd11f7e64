#pragma once
// "Outline Source": the source with its edges painted in a chosen colour,
// found by four-neighbour colour differences at a chosen pixel distance.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class OutlineSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("1a67db9eb966f344b027b5b4d4ab4173");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Outline Source";
  static constexpr const char* kDescription = "Outline a video source with colored edges";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
  };
  static constexpr uint32_t kInitialOptions = 0x0F;
  static constexpr int32_t kNumParams = 5;

  OutlineSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;

  int32_t params_[kNumParams] = {0, 0, 0, 2, 50};
  HalfExtents half_;
  float texelWidth_ = 0, texelHeight_ = 0;
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, pixDist_, colThresh_;
};

}  // namespace kestrix
