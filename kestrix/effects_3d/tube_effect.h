#pragma once
// What the tunnel and the wormhole share: a source mapped onto a mesh of n
// rings of n vertices, seen from inside, its texture scrolled and tiled by
// the vertex shader; the MIDI clock can restart the source or the motion on
// every beat; a held note can outlast its key while the source plays on.
#include <cstdint>

#include "platform/d3dx/math.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class TubeEffect : public SourceEffect {
 public:
  enum Option : uint32_t {
    kTransparentBlack = 1u << 0,
    kEraseOnNoteOff = 1u << 1,
    kResetEachNote = 1u << 2,
    kLooped = 1u << 3,
    kVolumeFollowsVelocity = 1u << 4,
    kPanFollowsVelocity = 1u << 5,
    kSustain = 1u << 6,
    kVelocityActive = 1u << 7,
    kBeatSyncLoop = 1u << 8,
    kBeatSyncEffect = 1u << 9,
    kClearZBuffer = 1u << 10,
  };
  static constexpr uint32_t kInitialOptions = 156;
  static constexpr int32_t kInitialSubdivision = 33;
  // The dialog's range; a saved value outside it is brought inside, as the
  // mesh needs n >= 4 (the tunnel's four rings) and n * n 16-bit indices.
  static constexpr int32_t kMinSubdivision = 4;
  static constexpr int32_t kMaxSubdivision = 101;
  // Clock pulses in one beat.
  static constexpr uint32_t kPulsesPerBeat = 24;

  bool KeepAfterNoteOff() override { return keepPlaying_; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t Subdivision() const { return subdivision_; }

 protected:
  explicit TubeEffect(int templateId) : SourceEffect(kInitialOptions), templateId_(templateId) {}

  struct Mesh {
    uint32_t vertexCount = 0;  // drawn
    uint32_t triangleCount = 0;
  };
  // Fills the buffers (n * n vertices, 2n^2 - 4 indices) with the class's strip.
  virtual Mesh FillMesh(QuadVertex* vertices, uint16_t* indices, int32_t n) = 0;
  // Note on; `resetPlayback` when the source restarts with the note.
  virtual void StartMotion(bool resetPlayback) = 0;
  // A beat with "Beat Sync Effect": the class's own motion starts again.
  virtual void ResetMotion() = 0;
  // Per frame, after the source advanced: the motion step; gives the
  // texture offset and scale, and the colour.
  struct Motion {
    float uvOffset[4] = {};
    float uvScale[4] = {};
    float color[4] = {1, 1, 1, 1};
  };
  virtual Motion Step(uint32_t milliseconds) = 0;
  // The view and projection of this frame.
  virtual d3dx::Matrix ViewProjection() const = 0;
  virtual gfx::Cull CullMode() const = 0;
  virtual float KeyDistance() const = 0;

 private:
  void ReleaseEffectObjects() override;
  void BeatSync();

  int templateId_;
  int32_t subdivision_ = kInitialSubdivision;
  uint8_t volume_ = 127;
  uint8_t pan_ = 64;
  uint32_t clockAtNoteOn_ = 0;
  uint32_t lastBeatCount_ = 0;
  bool keepPlaying_ = false;
  Mesh mesh_;
  gfx::Ref<gfx::VertexBuffer> vertexBuffer_;
  gfx::Ref<gfx::IndexBuffer> indexBuffer_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, uvScale_, uvOffset_, keyColor_, keyDist_;
};

}  // namespace kestrix
