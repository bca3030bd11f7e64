#pragma once
// "Blur Source": the source blurred, the width from knobs, from the velocity
// or animated over the note.
#include <algorithm>

#include "class_id_bytes.h"
#include "effects_2d/box_blur_effect.h"

namespace kestrix {

class BlurSource final : public BoxBlurEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("18c072dbb09843439a9b3ce1e7a16036");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Blur Source";
  static constexpr const char* kDescription = "Display a source with velocity-based blur";
  static constexpr uint32_t kAnimated = 1u << 6;
  static constexpr uint32_t kVelocityStrength = 1u << 7;
  static constexpr uint32_t kInitialOptions = 0x8E;

  BlurSource() : BoxBlurEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 4; }
  bool IsParamEnabled(int32_t i) override;
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[Index(i)]; }
  void SetParam(int32_t i, int32_t value) override { params_[Index(i)] = value; }

  // The animation's factor on the blur width at angle a for "Anim Type" type.
  static float AnimationFactor(int32_t type, float a);

 private:
  static size_t Index(int32_t i) { return i >= 0 && i < 4 ? size_t(i) : 0; }
  void TargetSize(uint32_t w, uint32_t h, uint32_t* tw, uint32_t* th) const override {
    *tw = std::max<uint32_t>(w, 1);
    *th = std::max<uint32_t>(h, 1);
  }

  int32_t params_[4] = {4, 4, 1, 0};
};

}  // namespace kestrix
