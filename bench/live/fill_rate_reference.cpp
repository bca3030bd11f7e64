#define EGL_NO_X11
#include "fill_rate_reference.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace bench {
namespace {

const char* kVertexGlsl = R"(#version 450
layout(location = 0) in vec2 pos; out vec2 v_tc;
void main() { gl_Position = vec4(pos, 0.0, 1.0); v_tc = pos * 0.5 + 0.5; })";
const char* kPixelGlsl = R"(#version 450
in vec2 v_tc; layout(location = 0) out vec4 color; uniform sampler2D tex;
void main() { color = texture(tex, v_tc) * vec4(1, 1, 1, 0.5); })";

GLuint Compile(GLenum type, const char* text) {
  GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  return shader;
}

// A surfaceless context, current only while a measurement runs.
class Context {
 public:
  Context() {
    display_ = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) return;
    eglBindAPI(EGL_OPENGL_API);
    const EGLint attribs[] = {EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 5,
                              EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, nullptr, EGL_NO_CONTEXT, attribs);
  }
  bool MakeCurrent() {
    previous_ = {eglGetCurrentDisplay(), eglGetCurrentContext(), eglGetCurrentSurface(EGL_DRAW),
                 eglGetCurrentSurface(EGL_READ)};
    return context_ != EGL_NO_CONTEXT && eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
  }
  // Gives the thread back whatever context it had.
  void Restore() {
    if (previous_.context != EGL_NO_CONTEXT)
      eglMakeCurrent(previous_.display, previous_.draw, previous_.read, previous_.context);
    else
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  }

 private:
  struct Current {
    EGLDisplay display;
    EGLContext context;
    EGLSurface draw, read;
  };
  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
  Current previous_{};
};

}  // namespace

double FillRateFramesPerSecond(uint32_t width, uint32_t height, double passes) {
  static Context context;
  if (!context.MakeCurrent()) return 0.0;
  const auto w = static_cast<GLsizei>(width), h = static_cast<GLsizei>(height);
  GLuint program = glCreateProgram();
  GLuint vs = Compile(GL_VERTEX_SHADER, kVertexGlsl), ps = Compile(GL_FRAGMENT_SHADER, kPixelGlsl);
  glAttachShader(program, vs);
  glAttachShader(program, ps);
  glLinkProgram(program);
  GLuint target, fbo, texture, vao, vbo;
  glCreateTextures(GL_TEXTURE_2D, 1, &target);
  glTextureStorage2D(target, 1, GL_RGBA8, w, h);
  glCreateFramebuffers(1, &fbo);
  glNamedFramebufferTexture(fbo, GL_COLOR_ATTACHMENT0, target, 0);
  glCreateTextures(GL_TEXTURE_2D, 1, &texture);
  glTextureStorage2D(texture, 1, GL_RGBA8, w, h);
  std::vector<uint8_t> pixels(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7);
  glTextureSubImage2D(texture, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTextureParameteri(texture, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // Whole passes, then one covering the fraction's share of the rows.
  const int whole = static_cast<int>(std::floor(passes));
  const float part = static_cast<float>(passes - whole);
  const float top = -1.0f + 2.0f * part;
  const float quads[] = {-1, -1, 1, -1, 1, 1, -1, 1, -1, -1, 1, -1, 1, top, -1, top};
  glCreateVertexArrays(1, &vao);
  glCreateBuffers(1, &vbo);
  glNamedBufferData(vbo, sizeof quads, quads, GL_STATIC_DRAW);
  glEnableVertexArrayAttrib(vao, 0);
  glVertexArrayAttribFormat(vao, 0, 2, GL_FLOAT, GL_FALSE, 0);
  glVertexArrayAttribBinding(vao, 0, 0);
  glVertexArrayVertexBuffer(vao, 0, vbo, 0, 8);

  auto frame = [&] {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, w, h);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(program);
    glBindTextureUnit(0, texture);
    glBindVertexArray(vao);
    for (int i = 0; i < whole; ++i) glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    if (part > 0.0f) glDrawArrays(GL_TRIANGLE_FAN, 4, 4);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  };
  for (int i = 0; i < 3; ++i) frame();
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  int frames = 0;
  double elapsed = 0.0;
  while (elapsed < 0.5 || frames < 10) {
    frame();
    ++frames;
    elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  }

  glDeleteVertexArrays(1, &vao);
  glDeleteBuffers(1, &vbo);
  glDeleteFramebuffers(1, &fbo);
  glDeleteTextures(1, &texture);
  glDeleteTextures(1, &target);
  glDeleteProgram(program);
  glDeleteShader(vs);
  glDeleteShader(ps);
  context.Restore();
  return frames / elapsed;
}

}  // namespace bench
