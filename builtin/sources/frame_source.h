#pragma once
// What the program's own video sources share: kind 1, no sound, option bytes
// that mean nothing unless a source gives one a meaning, nothing to do at
// attach, detach, release or restart, and the frame they hand out: its size
// and pixel format as the source opened it, and the texel rectangle a
// consumer samples. A source overrides what it does otherwise.
#include <cstdint>

#include "lv/source.h"
#include "sources/texel_rect.h"

namespace builtin {

class FrameSource : public lv::Source {
 public:
  int32_t GetKind() override { return 1; }
  uint8_t SetOption0(uint8_t value) override { return value; }
  uint8_t SetOption1(uint8_t value) override { return value; }
  uint8_t SetOption2(uint8_t value) override { return value; }
  // The frame as SetFrame recorded it.
  bool GetInfo(lv::SourceInfo* info) override {
    if (info == nullptr) return false;
    info->width = width_;
    info->height = height_;
    info->format = format_;
    return true;
  }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  const float* GetTexelOffset() override { return rect_.uv; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {}
  void Restart() override {}

 protected:
  // The opened frame's size and pixel format (its number, as SourceInfo
  // carries it), and the rectangle of that size.
  void SetFrame(uint32_t width, uint32_t height, uint32_t format) {
    width_ = width;
    height_ = height;
    format_ = format;
    rect_.Set(width, height);
  }

  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t format_ = 0;
  TexelRect rect_;
};

}  // namespace builtin
