#pragma once
// Playback of the frames a sampler recorded, opened as "<sampler name>:".
#include <cstdint>

#include "platform/gfx/resources.h"
#include "sources/frame_source.h"
#include "sources/named_source_kind.h"
#include "sources/sample_store.h"

namespace builtin {

class VideoSampleSource final : public FrameSource {
 public:
  static const lv::ClassId kClassId;

  explicit VideoSampleSource(SampleStore& sampler) : sampler_(sampler) {}

  const lv::ClassId* GetClassId() override { return &kClassId; }
  // Looped playback (on at creation).
  uint8_t SetOption0(uint8_t value) override { return loop_ = value; }
  bool Open(const char* name) override;
  // Also marks the record as a video sample's.
  bool GetInfo(lv::SourceInfo* info) override;
  // Makes the playback texture; the next Advance fills it.
  bool Attach(uint8_t velocity) override;
  gfx::Texture* GetTexture() override { return texture_.get(); }
  void Detach() override { texture_ = {}; }
  void ReleaseDeviceObjects() override { texture_ = {}; }
  void Restart() override { playTime_ = 0; }
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

  uint32_t PlayTime() const { return playTime_; }
  int64_t CurrentFrame() const { return current_; }

 private:
  SampleStore& sampler_;
  uint32_t playTime_ = 0;  // ms
  int64_t current_ = -1;   // frame now in the texture, -1 none
  uint8_t loop_ = 1;
  gfx::Ref<gfx::Texture> texture_;
};

// Longer sampler names than the room are cut.
class VideoSampleSourceDesc final : public NamedSourceKind<128> {
 public:
  explicit VideoSampleSourceDesc(SampleStore& sampler);

  const lv::ClassId* GetClassId() override { return &VideoSampleSource::kClassId; }
  const char* GetCategory() override { return "Video Sample"; }
  const char* GetName() override { return "Video Sample"; }
  lv::Source* Create() override;

 private:
  SampleStore& sampler_;
};

}  // namespace builtin
