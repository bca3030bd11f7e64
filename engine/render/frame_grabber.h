#pragma once
// Reads each rendered frame back from the graphics device for the offline
// render. Runs on the render thread after the scene has ended and before it
// is presented.
#include <cstdint>

namespace lv {

enum class FrameGrab {
  Copied,
  NoTargetSurface,   // the copy texture's surface could not be had
  ScaleFailed,       // the back buffer could not be scaled into the copy
  ReadBackFailed,    // the copy could not be brought to system memory
  LockFailed,        // the system-memory copy could not be locked
};

class FrameGrabber {
 public:
  virtual ~FrameGrabber() = default;
  // Scales the back buffer into `width` x `height` 32-bit pixels (blue,
  // green, red, unused), top row first, rows `pitch` bytes apart. Makes its
  // device copies at the first call.
  virtual FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) = 0;
  // The render ended: frees the device copies. No frame is in progress.
  virtual void ReleaseCopies() = 0;
};

}  // namespace lv
