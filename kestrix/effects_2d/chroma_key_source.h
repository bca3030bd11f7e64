#pragma once
// "Chroma Key Source": the source blended over the target with alpha from
// how far each pixel's hue lies from a key hue, above a brightness limit.
#include "class_id_bytes.h"
#include "effects_2d/keyed_source_effect.h"

namespace kestrix {

class ChromaKeySource final : public KeyedSourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("0e486a547c0c2f48b1b0e605b0f06737");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Chroma Key Source";
  static constexpr const char* kDescription = "Chroma Key based source transparency";
  static constexpr uint32_t kInitialOptions = 0x0F;

  ChromaKeySource() : KeyedSourceEffect(kInitialOptions, {0, 10, 10, 16}) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void Render(uint32_t milliseconds) override;
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;

  struct Constants {
    float keyParams[4];  // sin h, cos h, -cos h
    float keyEnv[4];     // strength angle, 1 / falloff angle
    float yLimit;
  };
  static Constants ConstantsFor(int32_t hue, int32_t strength, int32_t falloff, int32_t yLimit);

 private:
  gfx::ConstantHandle yuvMatrix_, keyParams_, keyEnv_, yLimit_;
};

}  // namespace kestrix
