#pragma once
// A running capture device as a source, opened as "Cap<index>-<name>:".
#include <cstdint>

#include "lv/source.h"
#include "lv/source_desc.h"
#include "sources/capture_feed.h"
#include "sources/texel_rect.h"

namespace builtin {

class CaptureSource final : public lv::Source {
 public:
  static const lv::ClassId kClassId;

  explicit CaptureSource(CaptureFeed& device) : device_(device) {}

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kClassId; }
  uint8_t SetOption0(uint8_t value) override { return value; }
  uint8_t SetOption1(uint8_t value) override { return value; }
  uint8_t SetOption2(uint8_t value) override { return value; }
  // Sizes from the renderer's texture; false while there is none.
  bool Open(const char* name) override;
  bool GetInfo(lv::SourceInfo* info) override;
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  // Converts the newest frame first; null while the device is stopped.
  gfx::Texture* GetTexture() override;
  const float* GetTexelOffset() override { return rect_.uv; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {}
  void Restart() override {}
  // newFrame is set when at least one frame arrived since the last Advance.
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

 private:
  CaptureFeed& device_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t format_ = 0;
  TexelRect rect_;
  int64_t lastFrameCount_ = -1;
};

// Made and registered while its device runs.
class CaptureSourceDesc final : public lv::SourceDesc {
 public:
  static constexpr int kNameRoom = 96;  // "Cap", a 16-bit index, '-' and a 79-byte name

  explicit CaptureSourceDesc(CaptureFeed& device);

  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &CaptureSource::kClassId; }
  const char* GetCategory() override { return "Capture"; }
  const char* GetName() override { return "Video Capture"; }
  const char* GetDescription() override { return name_; }
  lv::Source* Create() override;
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_; }

 private:
  CaptureFeed& device_;
  char name_[kNameRoom] = {};
};

}  // namespace builtin
