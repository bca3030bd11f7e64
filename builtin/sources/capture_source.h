#pragma once
// A running capture device as a source, opened as "Cap<index>-<name>:".
#include <cstdint>

#include "sources/capture_feed.h"
#include "sources/frame_source.h"
#include "sources/named_source_kind.h"

namespace builtin {

class CaptureSource final : public FrameSource {
 public:
  static const lv::ClassId kClassId;

  explicit CaptureSource(CaptureFeed& device) : device_(device) {}

  const lv::ClassId* GetClassId() override { return &kClassId; }
  // Sizes from the renderer's texture; false while there is none.
  bool Open(const char* name) override;
  // Converts the newest frame first; null while the device is stopped.
  gfx::Texture* GetTexture() override;
  // newFrame is set when at least one frame arrived since the last Advance.
  bool Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) override;

 private:
  CaptureFeed& device_;
  int64_t lastFrameCount_ = -1;
};

// Made and registered while its device runs.
// The name has room for "Cap", a 16-bit index, '-' and a 79-byte name.
class CaptureSourceDesc final : public NamedSourceKind<96> {
 public:
  explicit CaptureSourceDesc(CaptureFeed& device);

  const lv::ClassId* GetClassId() override { return &CaptureSource::kClassId; }
  const char* GetCategory() override { return "Capture"; }
  const char* GetName() override { return "Video Capture"; }
  lv::Source* Create() override;

 private:
  CaptureFeed& device_;
};

}  // namespace builtin
