#pragma once
// What Source::GetInfo reports about the frames.
#include <cstdint>

namespace lv {

struct SourceInfo {
  uint8_t flags[4];  // bytes 0 and 1 written by the video-sample source only
  uint32_t width;
  uint32_t height;
  uint32_t format;   // a gfx::Format value
};
static_assert(sizeof(SourceInfo) == 16);

}  // namespace lv
