#pragma once
// What Blur and Glow share: a separable seven-tap box blur run as passes
// between two render-target textures made at note on, finished by a pass
// into the host's current target.
#include <array>

#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class BoxBlurEffect : public SourceEffect {
 public:
  enum Option : uint32_t {
    kStretch = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
  };

  void NoteOn() override;
  void NoteOff() override;

 protected:
  explicit BoxBlurEffect(uint32_t options) : SourceEffect(options) {}

  // A vertex and pixel shader with the constants the passes set.
  struct Pass {
    VertexShaderObjects vertex;
    PixelShaderObjects pixel;
    gfx::ConstantHandle matWVP, color, pixelSize, keyColor, keyDist;
    explicit operator bool() const { return vertex && pixel; }
  };
  enum PassIndex { kKeyPass = 0, kHorizontal = 1, kVertical = 2, kPlainPass = 3 };

  // Source, declaration and the passes named (null entries skipped); false
  // leaves nothing held.
  bool CreateObjects(const std::array<std::array<const char*, 2>, 4>& entries);
  void ReleaseEffectObjects() override;
  // The render targets' size for a frame of w x h.
  virtual void TargetSize(uint32_t w, uint32_t h, uint32_t* tw, uint32_t* th) const = 0;

  // Into render target `into` (0 or 1; -1: the host's current target) from
  // `from` (0 or 1; -1: the source).
  void DrawPass(gfx::Device* device, PassIndex pass, int from, int into, const float pixelSize[2],
                const float color[4]);
  // Render's start: time, source, sampler and render states. False when
  // nothing can be drawn.
  bool BeginPasses(uint32_t milliseconds, gfx::Device** device);
  void EndPasses(gfx::Device* device);

  std::array<Pass, 4> passes_;
  std::array<gfx::Ref<gfx::Texture>, 2> targets_;
  std::array<gfx::Ref<gfx::Surface>, 2> surfaces_;
  uint32_t renderWidth_ = 0, renderHeight_ = 0;
  float inverseWidth_ = 0, inverseHeight_ = 0;  // of the source frame
  uint32_t timeSinceNoteOn_ = 0;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  HalfExtents half_;

 private:
  void ReleaseTargets();
};

}  // namespace kestrix
