#include "device_lock.h"

#include "egl_context.h"

namespace gfx {

void DeviceLock::Enter() {
  mutex_.lock();
  if (depth_++ == 0) context_->MakeCurrent();
}

void DeviceLock::Leave() {
  if (--depth_ == 0) context_->ReleaseCurrent();
  mutex_.unlock();
}

bool DeviceLock::BeginFrame() {
  Enter();
  if (frameHeld_) {
    Leave();
    return false;
  }
  frameHeld_ = true;  // the lock entered above stays held until EndFrame
  return true;
}

bool DeviceLock::EndFrame() {
  Enter();
  const bool held = frameHeld_;
  if (held) {
    frameHeld_ = false;
    Leave();  // the frame's hold
  }
  Leave();
  return held;
}

}  // namespace gfx

