#pragma once
// What a capture source needs of a capture device and of the renderer at the
// end of its graph: the converted texture, the conversion step and a count of
// the frames delivered.
#include <cstdint>

#include "platform/gfx/resources.h"

namespace builtin {

class CaptureFrameRenderer {
 public:
  virtual ~CaptureFrameRenderer() = default;
  // Converts the newest delivered frame into the texture (render thread).
  virtual void UpdateTexture() = 0;
  // The converted frame; no reference added.
  virtual gfx::Texture* TargetTexture() = 0;
  // Every frame delivered so far; read without a lock (a missed or doubled
  // new-frame report is harmless).
  virtual uint32_t FrameCount() = 0;
};

class CaptureFeed {
 public:
  virtual ~CaptureFeed() = default;
  // The system's position of the device among the video inputs.
  virtual int16_t DeviceIndex() = 0;
  virtual const char* FriendlyName() = 0;
  // The renderer of the running graph; null while the device is stopped.
  virtual CaptureFrameRenderer* Renderer() = 0;
};

}  // namespace builtin
