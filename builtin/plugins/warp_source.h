#pragma once
// "Warp Source": a video source drawn through a polar warp. A grid mesh
// covers the quad; each vertex carries its angle and distance from the
// texture centre, which the vertex shader bends by twist, pinch, rotation and
// a petal wave. Six styles animate those terms over time, from the velocity,
// from the audio level or in step with the MIDI clock.
#include <cstdint>

#include "lv/plug_desc.h"
#include "lv/source.h"
#include "platform/gfx/resources.h"
#include "platform/window/kit/source_name.h"
#include "plugins/source_showing_plug.h"

namespace builtin {

enum WarpParam : int32_t { kKeyDist, kTwist, kPinch, kRotate, kPetals, kStrength, kOffset, kRate, kVelocity, kNumWarpParams };

// The shader's warp terms for one frame.
struct WarpConstants {
  float twist = 0, pinch = 0, rot = 0, petals = 0, petalStrength = 0, petalOffset = 0;
};

// The terms of `style` (anything but 0-4 is Freeform) at `effectClockMs`,
// with `level` the smoothed audio level (used with the audio option).
WarpConstants ComputeWarpConstants(int32_t style, uint32_t options, const int32_t (&params)[kNumWarpParams],
                                   uint8_t velocity, uint32_t effectClockMs, float level);

// Vertices per side of the mesh: what the dialog gives (5..201), a loaded
// value bounded so that the mesh has two vertices a side and 16-bit indices.
int32_t BoundedSubdivision(int32_t subdivision);

class WarpSource final : public SourceShowingPlug<WarpSource, kNumWarpParams> {
 public:
  static constexpr int32_t kKind = 3;
  static constexpr lv::ClassId kClassId = {0x75FD2B31, 0x1A8F, 0x4F69, {0x8B, 0xBA, 0x58, 0xAD, 0x9C, 0xC3, 0x55, 0x72}};
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Warp Source";
  static constexpr const char* kDescription = "Warp a video source";

  // Option bits.
  static constexpr uint32_t kStretch = 0x1;
  static constexpr uint32_t kTransparentBlack = 0x2;
  static constexpr uint32_t kEraseOnNoteOff = 0x4;
  static constexpr uint32_t kResetEachNote = 0x8;
  static constexpr uint32_t kLooped = 0x10;
  static constexpr uint32_t kVolumeVelocity = 0x20;
  static constexpr uint32_t kPanVelocity = 0x40;
  static constexpr uint32_t kSustain = 0x80;
  static constexpr uint32_t kVelocityActive = 0x100;
  static constexpr uint32_t kTile = 0x200;
  static constexpr uint32_t kSubtle = 0x400;
  static constexpr uint32_t kBeatSyncLoop = 0x800;
  static constexpr uint32_t kBeatSyncEffect = 0x1000;
  static constexpr uint32_t kAudioInput = 0x2000;
  static constexpr uint32_t kOverrideVelocity = 0x4000;

  static constexpr int32_t kNumStyles = 6;  // Spiral, Spin, Pulse, Pinch, Flower, Freeform

  WarpSource();
  ~WarpSource() override;

  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void Render(uint32_t milliseconds) override;
  // The shared chunks, with "STYL" and "SUBD" between them and "NAME".
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  bool IsParamEnabled(int32_t i) override;

  int32_t Style() const { return style_; }
  void SetStyle(int32_t style) { style_ = style; }
  int32_t Subdivision() const { return subdivision_; }
  void SetSubdivision(int32_t subdivision) { subdivision_ = subdivision; }
  kit::SourceName& SourceName() { return sourceName_; }
  uint32_t EffectClock() const { return effectClock_; }
  // The constants of the last frame drawn.
  const WarpConstants& LastConstants() const { return constants_; }
  // The level of this frame smoothed with the last one's.
  float SmoothLevel(float level);

 private:
  void DrawMesh(gfx::Device* device);

  int32_t style_ = 0;
  int32_t subdivision_ = 121;
  int32_t meshSide_ = 0;  // the subdivision the buffers were built with
  float halfWidth_ = 0, halfHeight_ = 0;
  uint32_t targetWidth_ = 0, targetHeight_ = 0;
  uint32_t effectClock_ = 0;
  uint32_t clockAtNoteOn_ = 0;
  uint32_t clockTicksSeen_ = 0;
  float levels_[2] = {0, 0};
  int levelIndex_ = 0;
  WarpConstants constants_;

  gfx::Ref<gfx::VertexBuffer> vertices_;
  gfx::Ref<gfx::IndexBuffer> indices_;
};

lv::PlugDesc* WarpSourceDescriptor();

}  // namespace builtin
