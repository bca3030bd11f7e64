#pragma once
// "Twister Generator": a column of up to 200 lit objects winding round a
// vertical axis like a tornado. Each object is a segment of a chain: random
// events change the top segment, and the chain hands each change down a
// segment a frame or so later, so spin, shape, colour, size, height and tilt
// ripple down the column. Every motion counts frames, not time.
#include <array>
#include <memory>

#include "class_id_bytes.h"
#include "generator.h"
#include "generators/twister_chain.h"
#include "platform/d3dx/device_mesh.h"
#include "platform/d3dx/math.h"
#include "platform/gfx/constant_table.h"
#include "platform/gfx/resources.h"
#include "shader_objects.h"

namespace kestrix {

class TwisterGenerator final : public Generator {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("8d671f158eabb64abafe51ed8dbf257e");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Twister Generator";
  static constexpr const char* kDescription = "Draw a moving tornado of objects";
  static constexpr uint32_t kEraseOnNoteOff = 1;
  static constexpr uint32_t kRandomizeEachNote = 2;
  static constexpr uint32_t kClearDepth = 8;
  static constexpr uint32_t kExtraMesh = 16;
  static constexpr uint32_t kRespondToAudio = 32;
  static constexpr uint32_t kShiny = 64;
  static constexpr int kSegments = kTwisterSegments;
  static constexpr int kMeshes = 14;
  enum Param { kErase, kLength, kSpeed, kParamCount };

  TwisterGenerator();
  ~TwisterGenerator() override;

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override;

 private:
  void SetSpeedRanges();
  void SetTwistRanges();
  void Reset();
  void ApplyTwist(float amount);
  int RandomMesh() const;
  void RandomEvents();
  void DrawSegment(gfx::Device* device, const TwisterSegment& segment, const d3dx::Matrix& scene,
                   const d3dx::Matrix& viewProjection, const d3dx::Matrix& view);
  float SegmentRadius(const TwisterSegment& segment) const;

  int32_t params_[kParamCount] = {64, 120, 100};
  std::unique_ptr<TwisterChain> segments_;

  float yawRateRange_ = 0, rollRateRange_ = 0, spinRanges_[3] = {0, 0, 0};
  float twistRange_ = 0, twistStep_ = 0;
  float sceneYaw_ = 0, sceneRoll_ = 0;
  AnimatedValue yawRate_, rollRate_;
  float heightMagnitude_ = 100, heightSign_ = 1, radiusMagnitude_ = 30, radiusSign_ = 1;
  float twistAmount_ = 0, previousTwistAmount_ = 0, twistDirection_ = -1;
  float spinRates_[3] = {0, 0, 0};
  int32_t sides_ = 64, previousSides_ = 64;
  bool star_ = false, previousStar_ = false;
  AnimatedValue morph_;
  bool wobbleMode_ = false;
  float audioScale_ = 1;
  float levelRing_[4] = {0, 0, 0, 0};
  int ringIndex_ = 0;

  std::array<std::unique_ptr<d3dx::Mesh>, kMeshes> meshes_;
  gfx::Ref<gfx::VertexDeclaration> declaration_;
  VertexShaderObjects objectVertexShader_, eraseVertexShader_;
  PixelShaderObjects objectPixelShader_, erasePixelShader_;
  gfx::ConstantHandle matWVP_, matView_, color_, eraseMatWVP_, eraseMatView_, eraseColor_;
};

}  // namespace kestrix
