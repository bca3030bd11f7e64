// Present: shows the back buffer in the window (stretched, y-flipped) or
// hands its pixels to the fallback. The back buffer keeps its picture.
#include <vector>

#include "gl_device.h"

namespace gfx {

Result GlDevice::Present(const Rect* sourceRect, const Rect* destRect, NativeWindow overrideWindow,
                         const void* dirtyRegion) {
  if (sourceRect || destRect || overrideWindow.handle != 0 || dirtyRegion) return Result::InvalidCall;
  const int w = static_cast<int>(params_.backBufferWidth), h = static_cast<int>(params_.backBufferHeight);
  PresentCallback fallback;
  // Kept per thread: no allocation each frame, and no sharing with another presenting thread.
  thread_local std::vector<uint8_t> pixels;
  {
    DeviceScope scope(lock_);
    glNamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, backBufferTexture_, 0);
    glNamedFramebufferReadBuffer(readFbo_, GL_COLOR_ATTACHMENT0);
    if (context_->HasWindowSurface()) {
      int ww = w, wh = h;
      context_->WindowSize(&ww, &wh);
      glDisable(GL_SCISSOR_TEST);
      applied_.valid = false;
      // The window's framebuffer has row 0 at the bottom.
      glBlitNamedFramebuffer(readFbo_, 0, 0, 0, w, h, 0, wh, ww, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
      return context_->SwapBuffers() ? Result::Ok : Result::DeviceLost;
    }
    if (!params_.presentFallback) return Result::Ok;
    if (pixels.size() != static_cast<size_t>(w) * h * 4) pixels.assign(static_cast<size_t>(w) * h * 4, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFbo_);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    fallback = params_.presentFallback;
  }
  // Called outside the device lock, so the painter may use the device or wait on its own thread.
  fallback(PresentImage{pixels.data(), w, h, w * 4});
  return Result::Ok;
}

}  // namespace gfx
