#pragma once
// Reads each rendered frame back from the graphics device for the offline
// render. Runs on the render thread after the scene has ended and before it
// is presented.
#include <cstdint>
#include <vector>

namespace lv {

enum class FrameGrab {
  Copied,
  NoTargetSurface,   // the copy texture's surface could not be had
  ScaleFailed,       // the back buffer could not be scaled into the copy
  ReadBackFailed,    // the copy could not be brought to system memory
  LockFailed,        // the system-memory copy could not be locked
};

// Rows of a grabbed frame as the grabber holds them, top row first.
struct FrameView {
  const uint8_t* pixels = nullptr;
  int pitch = 0;
};

class FrameGrabber {
 public:
  virtual ~FrameGrabber() = default;
  // Scales the back buffer into `width` x `height` 32-bit pixels (blue,
  // green, red, unused), top row first, rows `pitch` bytes apart. Makes its
  // device copies at the first call.
  virtual FrameGrab CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) = 0;
  // The same frame lent where it lies, so the writer reads it without a copy
  // of its own; valid until ReturnBackBuffer. Grabbers that cannot lend copy
  // into a buffer they keep.
  virtual FrameGrab LendBackBuffer(int width, int height, FrameView* view) {
    lent_.resize(static_cast<size_t>(width) * 4 * static_cast<size_t>(height > 0 ? height : 0));
    *view = {lent_.data(), width * 4};
    return CopyBackBuffer(lent_.data(), width, height, width * 4);
  }
  virtual void ReturnBackBuffer() {}
  // The render ended: frees the device copies. No frame is in progress.
  virtual void ReleaseCopies() = 0;

 private:
  std::vector<uint8_t> lent_;
};

}  // namespace lv
