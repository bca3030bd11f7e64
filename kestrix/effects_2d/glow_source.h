#pragma once
// "Glow Source": the pixels near a key colour, blurred at reduced size and
// added onto the target, over the source itself if wished.
#include <algorithm>

#include "class_id_bytes.h"
#include "effects_2d/box_blur_effect.h"

namespace kestrix {

class GlowSource final : public BoxBlurEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("6c5f2a817df4134b921a01c8ab76c5e7");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Glow Source";
  static constexpr const char* kDescription = "Display a source with velocity-based glow";
  static constexpr uint32_t kPulsing = 1u << 6;
  static constexpr uint32_t kSourceUnderGlow = 1u << 7;
  static constexpr uint32_t kVelocityStrength = 1u << 8;
  static constexpr uint32_t kInitialOptions = 0x18E;

  GlowSource() : BoxBlurEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return 7; }
  bool IsParamEnabled(int32_t i) override { return (i != 4 && i != 5) || (options_ & kPulsing) == 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[Index(i)]; }
  void SetParam(int32_t i, int32_t value) override { params_[Index(i)] = value; }

 private:
  class Extras;
  static size_t Index(int32_t i) { return i >= 0 && i < 7 ? size_t(i) : 0; }
  // A quarter the width and half the height, never empty.
  void TargetSize(uint32_t w, uint32_t h, uint32_t* tw, uint32_t* th) const override {
    *tw = std::max<uint32_t>(w / 4, 1);
    *th = std::max<uint32_t>(h / 2, 1);
  }

  int32_t params_[7] = {255, 255, 255, 25, 50, 50, 4};
};

}  // namespace kestrix
