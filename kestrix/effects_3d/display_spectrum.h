#pragma once
// "Display Spectrum": the audio input's spectrum as a scrolling landscape.
// Each frame the spectrum, reduced to 128 columns, becomes the newest of 64
// rows; the rows are drawn as a height field that spins and tilts. A source,
// when one is named, is played along but does not colour the landscape.
#include "class_id_bytes.h"
#include "shader_objects.h"
#include "source_effect.h"

namespace kestrix {

class DisplaySpectrum final : public SourceEffect {
 public:
  static constexpr int32_t kKind = 1;
  static constexpr lv::ClassId kClassId = ClassIdFromStoredBytes("c1ed73ee6894c044b8c77fc4b3ace651");
  static constexpr const char* kCategory = "3D Effect";
  static constexpr const char* kName = "Display Spectrum";
  static constexpr const char* kDescription = "Display a 3D Audio Spectrum";

  enum Option : uint32_t {
    kEraseOnNoteOff = 1u << 0,
    kResetEachNote = 1u << 1,
    kClearFrame = 1u << 2,
    kClearDepth = 1u << 3,
  };
  static constexpr uint32_t kInitialOptions = 15;
  enum Param : int32_t { kSpin, kTilt, kDist, kHeightGain, kColorGain, kAlpha, kParamCount };
  static constexpr int kRows = 64;
  static constexpr int kColumns = 128;

  DisplaySpectrum() : SourceEffect(kInitialOptions) {}

  int32_t GetKind() override { return kKind; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  bool CreateDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;

  int32_t GetNumParams() override { return kParamCount; }
  bool IsParamEnabled(int32_t) override { return true; }
  const lv::ParamInfo* GetParamInfo(int32_t i) override;
  int32_t GetParam(int32_t i) override { return params_[i]; }
  void SetParam(int32_t i, int32_t value) override { params_[i] = value; }

  // The 128 columns of one history row from the host's 1024 values.
  static void ReduceSpectrum(const float* spectrum, float* row);

 private:
  void ReleaseEffectObjects() override;
  void ClearHistory();
  void Draw(gfx::Device* device);

  int32_t params_[kParamCount] = {50, 50, 100, 50, 150, 255};
  float history_[kRows][kColumns] = {};
  int32_t rowIndex_ = 0;
  gfx::Ref<gfx::VertexBuffer> grid_;
  gfx::Ref<gfx::VertexBuffer> heights_;
  gfx::Ref<gfx::IndexBuffer> indices_;
  VertexShaderObjects vertexShader_;
  PixelShaderObjects pixelShader_;
  gfx::ConstantHandle matWVP_, colorHandle_, gain_;
};

}  // namespace kestrix
