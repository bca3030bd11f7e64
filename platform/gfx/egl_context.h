#pragma once
// The device's one OpenGL 4.5 core context through EGL: surfaceless for
// offscreen drawing, or on an X11 display with a window surface to show the
// back buffer in.
// Keep X11's headers (and their macros such as Bool) out of everything that includes this.
#ifndef EGL_NO_X11
#define EGL_NO_X11
#endif
#include <epoxy/egl.h>

#include <cstdint>
#include <memory>
#include <string>

namespace gfx {

class EglContext {
 public:
  // window 0 gives a surfaceless context. With a window, the X11 display of
  // $DISPLAY is used; when that or the window surface fails, the context is
  // surfaceless and HasWindowSurface() is false. Null (with *error) when no
  // context can be made at all.
  static std::unique_ptr<EglContext> Create(uint64_t x11Window, std::string* error);
  ~EglContext();

  bool MakeCurrent();
  void ReleaseCurrent();
  bool HasWindowSurface() const { return surface_ != EGL_NO_SURFACE; }
  bool WindowSize(int* width, int* height) const;
  bool SwapBuffers();
  void SetSwapInterval(int interval);

 private:
  EglContext() = default;
  bool Init(uint64_t x11Window, std::string* error);
  bool InitSurfaceless(std::string* error);

  void* xDisplay_ = nullptr;  // Display*, ours
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLConfig config_ = nullptr;
  EGLContext context_ = EGL_NO_CONTEXT;
  EGLSurface surface_ = EGL_NO_SURFACE;
};

}  // namespace gfx
