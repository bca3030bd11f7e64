#pragma once
// The "Sample Video" plug-in: records its source into a sampler while its
// note plays, one frame every few display refresh periods, drawing nothing.
#include <atomic>
#include <cstdint>
#include <string>

#include "lv/plug.h"
#include "lv/plug_desc.h"
#include "lv/source.h"
#include "platform/window/kit/source_name.h"
#include "sampler/sampler.h"

namespace builtin {

class SampleVideo final : public lv::Plug {
 public:
  static const lv::ClassId kClassId;
  // Option bit: the note is kept after note-off until Frames frames exist.
  static constexpr uint32_t kFixedLength = 1;
  static const lv::ParamInfo kFramesParam;

  explicit SampleVideo(SamplerBank& bank = TheSamplerBank()) : bank_(bank) {}
  ~SampleVideo() override { ReleaseDeviceObjects(); }

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  int32_t GetNumInputs() override { return 1; }
  const char* GetInputName(int32_t i) override { return sourceName_.InputName(i); }
  void SetInputName(int32_t i, const char* name) override { sourceName_.SetInputName(i, name); }
  // Opens the source and checks that the sampler exists; on failure nothing
  // stays open.
  bool CreateDeviceObjects() override;
  void ReleaseDeviceObjects() override;
  bool Configure(lv::WindowHandle owner) override;
  void NoteOn() override;
  void NoteOff() override;
  void Render(uint32_t milliseconds) override;
  bool KeepAfterNoteOff() override { return keep_; }
  bool Load(lv::ChunkStream* stream) override;
  bool Save(lv::ChunkStream* stream) override;
  int32_t GetNumParams() override { return 1; }
  bool IsParamEnabled(int32_t i) override { return i == 0 && (options_ & kFixedLength); }
  const lv::ParamInfo* GetParamInfo(int32_t i) override { return i == 0 ? &kFramesParam : nullptr; }
  int32_t GetParam(int32_t i) override { return i == 0 ? frames_.load() : 0; }
  void SetParam(int32_t i, int32_t value) override {
    if (i == 0) frames_ = value;
  }

  const char* SourceName() const { return sourceName_.Get(); }
  const std::string& SamplerName() const { return samplerName_; }
  void SetSamplerName(const std::string& name) { samplerName_ = name; }
  uint32_t Options() const { return options_; }
  void SetOptions(uint32_t options) { options_ = options; }

 private:
  // Looked up by name at each use, so a deleted sampler is never touched.
  Sampler* FindOwnSampler() { return FindSampler(bank_.samplers, samplerName_.c_str()); }
  void RecordFrame(Sampler& sampler);

  SamplerBank& bank_;
  kit::SourceName sourceName_;
  std::string samplerName_;
  uint32_t options_ = 0;
  lv::Source* source_ = nullptr;
  bool keep_ = false;
  std::atomic<int32_t> frames_{10};
  uint32_t elapsed_ = 0;
  uint32_t clock_ = 0;
  uint32_t recordIndex_ = 0;
};

// The kind's one descriptor: "Sample Video" in the "Sampler" category.
lv::PlugDesc* SampleVideoKind();

}  // namespace builtin
