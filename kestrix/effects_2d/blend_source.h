#pragma once
// "Blend Source": the source composited over the picture drawn so far (read
// back through the frame-buffer source) with one of 14 blend modes and an
// opacity, over the whole target.
#include <array>

#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class BlendSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("723291501a6afd4ca0e4558ba750e6a9");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Blend Source";
  static constexpr const char* kDescription = "Blend a source over the picture with image-editor blend modes";
  static constexpr int kModeCount = 14;

  enum Option : uint32_t {
    kEraseOnNoteOff = 1u << 0,
    kResetEachNote = 1u << 1,
    kLooped = 1u << 2,
  };
  static constexpr uint32_t kInitialOptions = 6;

  BlendSource() : SourceEffect(kInitialOptions) {}
  ~BlendSource() override;

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 2; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i == 1 ? 1 : 0]; }
  void SetParam(int32_t i, int32_t value) override { params_[i == 1 ? 1 : 0] = value; }

  // The mode's name ("Normal" ... "Exclusion"); the first for any other value.
  static const char* ModeName(int32_t mode);

 private:
  void ReleaseEffectObjects() override;
  void ReleaseFramebuffer();

  lv::Source* framebuffer_ = nullptr;  // owned
  gfx::Ref<gfx::Texture> noise_;
  gfx::Ref<gfx::VertexDeclaration> blendDeclaration_;
  int32_t params_[2] = {255, 0};
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  VertexShaderObjects vertexShader_;
  std::array<PixelShaderObjects, kModeCount> modeShaders_;
  std::array<gfx::ConstantHandle, kModeCount> opacity_{};
  gfx::ConstantHandle matWVP_;
};

}  // namespace kestrix
