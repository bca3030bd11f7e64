#pragma once
// "Display Source": draws one video source (any name the host opens) as a
// quad on the current target, with a key colour, alpha, six blend modes, a
// free size, position and rotation, cycling of the colour channels written,
// and the volume and pan handed to the source.
#include <array>
#include <cstdint>

#include "lv/plug_desc.h"
#include "lv/source.h"
#include "platform/gfx/resources.h"
#include "platform/gfx/states.h"
#include "plugins/quad_vertex.h"
#include "plugins/source_showing_plug.h"

namespace builtin {

// How the quad is blended with the target for a "Blend" value; any value
// outside 1..5 blends by the image's alpha.
struct DisplaySourceBlend {
  gfx::Blend source;
  gfx::Blend dest;
  gfx::BlendOp op;
};
DisplaySourceBlend DisplaySourceBlendFor(int32_t blend);

// The colour write mask of one frame (1 red, 2 green, 4 blue, 8 alpha):
// with cycling, one colour channel per `cycleRate` frames in turn, else the
// channels of "Channels". Alpha is always written.
uint32_t DisplaySourceWriteMask(bool cycling, int32_t channels, uint32_t cycleCounter, int32_t cycleRate);

// The quad's corners (top left, top right, bottom right, bottom left) in
// target pixels, centre 0 and y up, for half extents hw, hh and, with
// `override`, the Width, Height, XPos, YPos and Angle parameters.
std::array<std::array<float, 2>, 4> DisplaySourceCorners(float hw, float hh, bool override, int32_t width,
                                                         int32_t height, int32_t xPos, int32_t yPos, int32_t angle);

inline constexpr int32_t kDisplaySourceParams = 13;

class DisplaySource final : public SourceShowingPlug<DisplaySource, kDisplaySourceParams> {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = {0x300191D1, 0x543E, 0x41C9, {0xAB, 0x15, 0x48, 0x88, 0x63, 0x9A, 0x62, 0x38}};
  static constexpr const char* kCategory = "Basic";
  static constexpr const char* kName = "Display Source";
  static constexpr const char* kDescription = "Display a video source";

  // Option bits.
  static constexpr uint32_t kStretch = 0x1;
  static constexpr uint32_t kKeyColor = 0x2;
  static constexpr uint32_t kEraseOnNoteOff = 0x4;
  static constexpr uint32_t kResetEachNote = 0x8;
  static constexpr uint32_t kLooped = 0x10;
  static constexpr uint32_t kVolumeFromVelocity = 0x20;
  static constexpr uint32_t kPanFromVelocity = 0x40;
  static constexpr uint32_t kSustain = 0x80;
  static constexpr uint32_t kOverrideTransform = 0x100;
  static constexpr uint32_t kCycleChannels = 0x200;

  // Parameter indexes.
  enum Param : int32_t {
    kKeyRed, kKeyGreen, kKeyBlue, kKeyDist, kAlpha, kXPos, kYPos, kWidth, kHeight, kAngle,
    kChannels, kCycleRate, kBlend, kNumParams
  };
  static_assert(kNumParams == kDisplaySourceParams);

  DisplaySource();
  // Also closes a source still open.
  ~DisplaySource() override;

  // Releases what an earlier call left first; false leaves nothing made.
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void Render(uint32_t milliseconds) override;
  bool IsParamEnabled(int32_t i) override;

  lv::Source* OpenSource() const { return source_; }

 private:
  void DrawQuad(gfx::Device* device, const gfx::SurfaceDesc& target);

  float halfWidth_ = 0;
  float halfHeight_ = 0;
  uint32_t cycleCounter_ = 0;

  gfx::ConstantHandle matWVP_{};
  gfx::ConstantHandle color_{};
  gfx::ConstantHandle keyColor_{};
  gfx::ConstantHandle keyDist_{};
};

lv::PlugDesc* DisplaySourceDescriptor();

}  // namespace builtin
