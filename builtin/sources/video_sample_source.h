#pragma once
// Playback of the frames a sampler recorded, opened as "<sampler name>:".
#include <cstdint>

#include "lv/source.h"
#include "lv/source_desc.h"
#include "platform/gfx/resources.h"
#include "sources/sample_store.h"
#include "sources/texel_rect.h"

namespace builtin {

class VideoSampleSource final : public lv::Source {
 public:
  static const lv::ClassId kClassId;

  explicit VideoSampleSource(SampleStore& sampler) : sampler_(sampler) {}

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  // Looped playback (on at creation).
  uint8_t SetOption0(uint8_t value) override { return loop_ = value; }
  uint8_t SetOption1(uint8_t value) override { return value; }
  uint8_t SetOption2(uint8_t value) override { return value; }
  bool Open(const char* name) override;
  bool GetInfo(lv::SourceInfo* info) override;
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  // Makes the playback texture; the next Advance fills it.
  bool Attach(uint8_t velocity) override;
  gfx::Texture* GetTexture() override { return texture_.get(); }
  const float* GetTexelOffset() override { return rect_.uv; }
  void Detach() override { texture_ = {}; }
  void ReleaseDeviceObjects() override { texture_ = {}; }
  void Restart() override { playTime_ = 0; }
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

  uint32_t PlayTime() const { return playTime_; }
  int64_t CurrentFrame() const { return current_; }

 private:
  SampleStore& sampler_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  gfx::Format format_ = gfx::Format::Unknown;
  TexelRect rect_;
  uint32_t playTime_ = 0;  // ms
  int64_t current_ = -1;   // frame now in the texture, -1 none
  uint8_t loop_ = 1;
  gfx::Ref<gfx::Texture> texture_;
};

class VideoSampleSourceDesc final : public lv::SourceDesc {
 public:
  static constexpr int kNameRoom = 128;  // longer sampler names are cut

  explicit VideoSampleSourceDesc(SampleStore& sampler);

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &VideoSampleSource::kClassId; }
  const char* GetCategory() override { return "Video Sample"; }
  const char* GetName() override { return "Video Sample"; }
  const char* GetDescription() override { return name_; }
  lv::Source* Create() override;
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_; }

 private:
  SampleStore& sampler_;
  char name_[kNameRoom] = {};
};

}  // namespace builtin
