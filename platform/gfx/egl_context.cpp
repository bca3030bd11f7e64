#include "egl_context.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>

namespace gfx {

namespace {

const EGLint kContextAttribs[] = {
    EGL_CONTEXT_MAJOR_VERSION, 4,
    EGL_CONTEXT_MINOR_VERSION, 5,
    EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
    EGL_NONE};

bool HasClientExtension(const char* name) {
  return epoxy_has_egl_extension(EGL_NO_DISPLAY, name);
}

}  // namespace

std::unique_ptr<EglContext> EglContext::Create(uint64_t x11Window, std::string* error) {
  std::unique_ptr<EglContext> context(new EglContext());
  if (!context->Init(x11Window, error)) return nullptr;
  return context;
}

bool EglContext::Init(uint64_t x11Window, std::string* error) {
  if (x11Window != 0 && std::getenv("DISPLAY") && HasClientExtension("EGL_EXT_platform_x11")) {
    XInitThreads();
    Display* x = XOpenDisplay(nullptr);
    if (x) {
      xDisplay_ = x;
      display_ = eglGetPlatformDisplayEXT(EGL_PLATFORM_X11_EXT, x, nullptr);
      EGLint major = 0, minor = 0;
      if (display_ != EGL_NO_DISPLAY && eglInitialize(display_, &major, &minor) && eglBindAPI(EGL_OPENGL_API)) {
        const EGLint configAttribs[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                        EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_NONE};
        EGLint count = 0;
        if (eglChooseConfig(display_, configAttribs, &config_, 1, &count) && count == 1) {
          context_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, kContextAttribs);
          if (context_ != EGL_NO_CONTEXT) {
            Window window = static_cast<Window>(x11Window);
            surface_ = eglCreatePlatformWindowSurfaceEXT(display_, config_, &window, nullptr);
            if (surface_ != EGL_NO_SURFACE) return true;
            eglDestroyContext(display_, context_);
            context_ = EGL_NO_CONTEXT;
          }
        }
      }
      std::fprintf(stderr, "gfx: no window surface on the X11 display (0x%x); presenting by read-back\n",
                   eglGetError());
      display_ = EGL_NO_DISPLAY;
      XCloseDisplay(x);
      xDisplay_ = nullptr;
    }
  }
  return InitSurfaceless(error);
}

bool EglContext::InitSurfaceless(std::string* error) {
  if (!HasClientExtension("EGL_MESA_platform_surfaceless")) {
    if (error) *error = "EGL has no surfaceless platform";
    return false;
  }
  display_ = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  EGLint major = 0, minor = 0;
  if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, &major, &minor) || !eglBindAPI(EGL_OPENGL_API)) {
    if (error) *error = "cannot initialise the EGL surfaceless display";
    display_ = EGL_NO_DISPLAY;
    return false;
  }
  const EGLint configAttribs[] = {EGL_SURFACE_TYPE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLint count = 0;
  EGLConfig config = nullptr;
  if (eglChooseConfig(display_, configAttribs, &config, 1, &count) && count == 1) config_ = config;
  context_ = eglCreateContext(display_, config_, EGL_NO_CONTEXT, kContextAttribs);
  if (context_ == EGL_NO_CONTEXT) {
    if (error) *error = "cannot create an OpenGL 4.5 core context";
    return false;
  }
  return true;
}

EglContext::~EglContext() {
  if (display_ != EGL_NO_DISPLAY) {
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    // The surfaceless display stays initialised: other devices of the process
    // share it. A display on our own X connection is ours alone, and must be
    // terminated before the connection closes: EGL keeps displays keyed by the
    // native pointer, and a later connection opened at the same address would
    // otherwise be handed the old display, still bound to the closed one.
    if (xDisplay_) eglTerminate(display_);
  }
  if (xDisplay_) XCloseDisplay(static_cast<Display*>(xDisplay_));
}

bool EglContext::MakeCurrent() {
  return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

void EglContext::ReleaseCurrent() { eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }

bool EglContext::WindowSize(int* width, int* height) const {
  if (surface_ == EGL_NO_SURFACE) return false;
  EGLint w = 0, h = 0;
  if (!eglQuerySurface(display_, surface_, EGL_WIDTH, &w) || !eglQuerySurface(display_, surface_, EGL_HEIGHT, &h))
    return false;
  *width = w;
  *height = h;
  return true;
}

bool EglContext::SwapBuffers() { return surface_ != EGL_NO_SURFACE && eglSwapBuffers(display_, surface_); }

void EglContext::SetSwapInterval(int interval) {
  if (surface_ != EGL_NO_SURFACE) eglSwapInterval(display_, interval);
}

}  // namespace gfx
