// Frame time of ten blended full-screen textured quads at 1280 x 720: through
// the device, and the same draws in hand-written GL on a context of our own,
// in the same process. Each frame ends with a read-back of the picture so the
// time includes the drawing. The layer's overhead is the ratio of the two.
#define EGL_NO_X11
#include <benchmark/benchmark.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstring>
#include <vector>

#include "platform/gfx/constant_table.h"
#include "platform/gfx/device.h"
#include "platform/gfx/graphics_system.h"
#include "platform/gfx/shader_compiler.h"

namespace {

constexpr int kW = 1280, kH = 720, kQuads = 10;

const char* kHlsl = R"(
float4x4 matWVP;
struct VS_OUT { float4 pos : POSITION; float2 tc : TEXCOORD0; };
VS_OUT vs_main(float3 pos : POSITION, float2 tc : TEXCOORD0) {
  VS_OUT o; o.pos = mul(float4(pos, 1), matWVP); o.tc = tc; return o;
}
sampler2D Tex : register(s0);
float4 ps_main(float2 tc : TEXCOORD0) : COLOR0 { return tex2D(Tex, tc) * float4(1, 1, 1, 0.5); }
)";

struct Vertex { float x, y, z, u, v; };
const Vertex kQuad[4] = {{-kW / 2.f, kH / 2.f, 1, 0, 0}, {kW / 2.f, kH / 2.f, 1, 1, 0},
                         {kW / 2.f, -kH / 2.f, 1, 1, 1}, {-kW / 2.f, -kH / 2.f, 1, 0, 1}};

std::vector<uint8_t> Pattern() {
  std::vector<uint8_t> p(static_cast<size_t>(kW) * kH * 4);
  for (size_t i = 0; i < p.size(); ++i) p[i] = static_cast<uint8_t>(i * 7);
  return p;
}

void ThroughTheLayer(benchmark::State& state) {
  using namespace gfx;
  auto system = CreateGraphicsSystem();
  if (!system) { state.SkipWithError("no OpenGL"); return; }
  PresentParameters pp;
  pp.backBufferWidth = kW;
  pp.backBufferHeight = kH;
  pp.backBufferFormat = Format::A8R8G8B8;
  size_t shown = 0;
  pp.presentFallback = [&shown](const PresentImage& image) { shown += static_cast<size_t>(image.pixels[0]); };
  Device* device = nullptr;
  if (Failed(system->CreateDevice(0, DeviceType::Hal, NativeWindow{}, create::Multithreaded, &pp, &device))) {
    state.SkipWithError("no device");
    return;
  }
  ShaderCompileRequest vr{kHlsl, {}, nullptr, "vs_main", "vs_3_0", 0};
  ShaderCompileRequest pr{kHlsl, {}, nullptr, "ps_main", "ps_3_0", 0};
  ShaderCompileResult vc = CompileShader(vr), pc = CompileShader(pr);
  VertexShader* vs = nullptr;
  PixelShader* ps = nullptr;
  device->CreateVertexShader(*vc.code, &vs);
  device->CreatePixelShader(*pc.code, &ps);
  const VertexElement elements[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0},
                                    {0, 12, DeclType::Float2, DeclUsage::TexCoord, 0}, kDeclEnd};
  VertexDeclaration* decl = nullptr;
  device->CreateVertexDeclaration(elements, &decl);
  Texture* texture = nullptr;
  device->CreateTexture(kW, kH, 1, usage::None, Format::A8R8G8B8, Pool::Managed, &texture);
  LockedRect lr;
  texture->LockRect(0, &lr, nullptr, lock::Discard);
  const std::vector<uint8_t> pattern = Pattern();
  std::memcpy(lr.bits, pattern.data(), pattern.size());
  texture->UnlockRect(0);
  const float m[16] = {2.f / kW, 0, 0, 0, 0, 2.f / kH, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
  for (auto _ : state) {
    device->BeginScene();
    device->SetRenderState(RenderState::ZEnable, 0);
    device->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::InvSrcAlpha));
    device->SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(Filter::Linear));
    device->SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(Filter::Linear));
    device->SetTexture(0, texture);
    device->SetVertexDeclaration(decl);
    device->SetVertexShader(vs);
    device->SetPixelShader(ps);
    for (int q = 0; q < kQuads; ++q) {
      vc.constantTable->SetMatrix(device->Constants(), vc.constantTable->GetConstantByName("matWVP"), m);
      device->DrawPrimitiveUP(PrimitiveType::TriangleFan, 2, kQuad, sizeof(Vertex));
    }
    device->EndScene();
    device->Present(nullptr, nullptr, NativeWindow{}, nullptr);  // reads the picture back
  }
  benchmark::DoNotOptimize(shown);
  device->SetTexture(0, nullptr);
  texture->Release();
  decl->Release();
  ps->Release();
  vs->Release();
  device->Release();
}

const char* kVertexGlsl = R"(#version 450
layout(location = 0) in vec3 pos; layout(location = 1) in vec2 tc; out vec2 v_tc;
uniform mat4 wvp;
void main() { gl_Position = wvp * vec4(pos, 1.0); v_tc = tc; })";
const char* kPixelGlsl = R"(#version 450
in vec2 v_tc; layout(location = 0) out vec4 color; uniform sampler2D tex;
void main() { color = texture(tex, v_tc) * vec4(1, 1, 1, 0.5); })";

void HandWrittenGl(benchmark::State& state) {
  EGLDisplay dpy = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr)) { state.SkipWithError("no EGL"); return; }
  eglBindAPI(EGL_OPENGL_API);
  const EGLint attribs[] = {EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 5,
                            EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
  EGLContext ctx = eglCreateContext(dpy, nullptr, EGL_NO_CONTEXT, attribs);
  eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, ctx);
  auto compile = [](GLenum type, const char* src) {
    GLuint s = glCreateShader(type);
    glShaderSource(s, 1, &src, nullptr);
    glCompileShader(s);
    return s;
  };
  GLuint prog = glCreateProgram();
  glAttachShader(prog, compile(GL_VERTEX_SHADER, kVertexGlsl));
  glAttachShader(prog, compile(GL_FRAGMENT_SHADER, kPixelGlsl));
  glLinkProgram(prog);
  GLuint target, fbo, texture, vao, vbo;
  glCreateTextures(GL_TEXTURE_2D, 1, &target);
  glTextureStorage2D(target, 1, GL_RGBA8, kW, kH);
  glCreateFramebuffers(1, &fbo);
  glNamedFramebufferTexture(fbo, GL_COLOR_ATTACHMENT0, target, 0);
  glCreateTextures(GL_TEXTURE_2D, 1, &texture);
  glTextureStorage2D(texture, 1, GL_RGBA8, kW, kH);
  const std::vector<uint8_t> pattern = Pattern();
  glTextureSubImage2D(texture, 0, 0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pattern.data());
  glTextureParameteri(texture, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glCreateVertexArrays(1, &vao);
  glCreateBuffers(1, &vbo);
  glEnableVertexArrayAttrib(vao, 0);
  glEnableVertexArrayAttrib(vao, 1);
  glVertexArrayAttribFormat(vao, 0, 3, GL_FLOAT, GL_FALSE, 0);
  glVertexArrayAttribFormat(vao, 1, 2, GL_FLOAT, GL_FALSE, 12);
  glVertexArrayAttribBinding(vao, 0, 0);
  glVertexArrayAttribBinding(vao, 1, 0);
  const float m[16] = {2.f / kW, 0, 0, 0, 0, 2.f / kH, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
  std::vector<uint8_t> pixels(static_cast<size_t>(kW) * kH * 4);
  for (auto _ : state) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, kW, kH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glUseProgram(prog);
    glBindTextureUnit(0, texture);
    glBindVertexArray(vao);
    for (int q = 0; q < kQuads; ++q) {
      glUniformMatrix4fv(glGetUniformLocation(prog, "wvp"), 1, GL_TRUE, m);
      glNamedBufferData(vbo, sizeof kQuad, kQuad, GL_STREAM_DRAW);
      glVertexArrayVertexBuffer(vao, 0, vbo, 0, sizeof(Vertex));
      glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
    }
    glReadPixels(0, 0, kW, kH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    benchmark::DoNotOptimize(pixels[0]);
  }
  eglMakeCurrent(dpy, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(dpy, ctx);
}

}  // namespace

// Compare the two times: the goal is a layer overhead under 5%. The compile
// time of a shader pair is measured by the shader compiler's own benchmark.
BENCHMARK(HandWrittenGl)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(ThroughTheLayer)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK_MAIN();
