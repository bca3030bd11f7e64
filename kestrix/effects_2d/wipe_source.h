#pragma once
// "Wipe Source": writes its source, keyed against a colour, into the depth
// buffer only, so later drawing is hidden where the template still stands.
// The key distance grows with a knob or with time, so the template wipes away.
#include "class_id_bytes.h"
#include "effects_2d/keyed_source_effect.h"

namespace kestrix {

class WipeSource final : public KeyedSourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("aa377de4f59b5541a68413d2fe70e834");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Wipe Source";
  static constexpr const char* kDescription = "Wipe using a source as the wipe template";
  static constexpr uint32_t kVelocityWipeSpeed = 1u << 4;
  static constexpr uint32_t kInitialOptions = 0x1D;

  WipeSource() : KeyedSourceEffect(kInitialOptions, {0, 0, 0, 10}) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void Render(uint32_t milliseconds) override;
  bool IsParamEnabled(int32_t i) override { return i != 3 || (options_ & kVelocityWipeSpeed) == 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;

  // The key distance `milliseconds` into a note of `velocity` with the speed
  // from the velocity; a velocity of 127 keys everything at once.
  static float TimedKeyDistance(uint32_t milliseconds, uint8_t velocity);

 private:
  gfx::ConstantHandle keyColor_, keyDist_;
};

}  // namespace kestrix
