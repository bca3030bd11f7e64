#pragma once
// "Pixel Shuffle Source": the source's texture coordinates displaced by the
// red and green of a second, "offset" source, stretched over the frame or
// tiled; optionally keyed.
#include <memory>

#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class PixelShuffleSource final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("e4e1b5b4cf82dc42a6fbd919c74b7f43");
  static constexpr const char* kCategory = "2D Effect";
  static constexpr const char* kName = "Pixel Shuffle Source";
  static constexpr const char* kDescription = "Shuffle pixels from a video source";

  enum Option : uint32_t {
    kStretch = 1u << 0,
    kTransparentKey = 1u << 1,
    kEraseOnNoteOff = 1u << 2,
    kResetEachNote = 1u << 3,
    kLooped = 1u << 4,
    kOffsetLooped = 1u << 5,
    kTileOffset = 1u << 6,
  };
  static constexpr uint32_t kInitialOptions = 0x39;
  static constexpr int32_t kNumParams = 8;

  PixelShuffleSource() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }

  // Input 0 is the source, input 1 the offset source.
  int32_t GetNumInputs() override { return 2; }
  const char* GetInputName(int32_t i) override;
  void SetInputName(int32_t i, const char* name) override;
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;

  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kNumParams; }
  bool IsParamEnabled(int32_t i) override { return i > 3 || (options_ & kTransparentKey) != 0; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

 private:
  void ReleaseEffectObjects() override;

  kit::SourceName offsetName_;
  std::unique_ptr<lv::Source> offset_;
  int32_t params_[kNumParams] = {0, 0, 0, 3, 50, 50, 0, 0};
  HalfExtents half_;
  float tileScale_[2] = {1, 1};
  bool sizeDiffers_ = false;
  uint32_t timeSinceNoteOn_ = 0;
  gfx::Ref<gfx::VertexDeclaration> twoSetDeclaration_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, keyColor_, keyDist_, strength_, offsetHandle_;
};

}  // namespace kestrix
