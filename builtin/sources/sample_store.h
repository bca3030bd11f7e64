#pragma once
// What a video-sample source needs of a sampler: its frame size and format,
// how many frames it recorded, its frame interval and the frames themselves.
#include <cstdint>

#include "platform/gfx/resources.h"

namespace builtin {

class SampleStore {
 public:
  virtual ~SampleStore() = default;
  virtual const char* Name() = 0;
  virtual uint32_t Width() = 0;
  virtual uint32_t Height() = 0;
  virtual gfx::Format Format() = 0;
  // Frames recorded so far (the first n frame textures).
  virtual uint32_t Recorded() = 0;
  // Display refresh periods between recorded frames; playback runs at
  // 60 / interval frames per second.
  virtual uint32_t Interval() = 0;
  // The system-memory texture of frame i, no reference added; null when the
  // sampler has no such frame (out of its capacity, or released).
  virtual gfx::Texture* FrameTexture(uint32_t index) = 0;
};

}  // namespace builtin
