// The compiler's GLSL on a real GL 4.5 core context (EGL surfaceless): pairs
// compiled separately link, and constants set through the table reach the
// pixels.
#include <epoxy/egl.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/gfx/constant_table.h"
#include "platform/gfx/shader_compiler.h"

namespace gfx {
namespace {

class GlContext : public ::testing::Test {
 protected:
  void SetUp() override {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay) display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) GTEST_SKIP() << "no EGL display";
    eglBindAPI(EGL_OPENGL_API);
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    eglChooseConfig(display_, configAttributes, &config, 1, &count);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 4, EGL_CONTEXT_MINOR_VERSION, 5,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    context_ = eglCreateContext(display_, count ? config : nullptr, EGL_NO_CONTEXT, contextAttributes);
    ASSERT_NE(context_, EGL_NO_CONTEXT);
    ASSERT_TRUE(eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_));
  }
  void TearDown() override {
    if (context_ != EGL_NO_CONTEXT) {
      eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
      eglDestroyContext(display_, context_);
    }
    if (display_ != EGL_NO_DISPLAY) eglTerminate(display_);
  }

  static std::shared_ptr<const ShaderCode> Compile(std::string_view source, const char* entry, const char* profile,
                                                   std::shared_ptr<ConstantTable>* table = nullptr) {
    ShaderCompileRequest request;
    request.source = source;
    request.entryPoint = entry;
    request.profile = profile;
    ShaderCompileResult r = CompileShader(request);
    EXPECT_TRUE(r.code) << entry << "\n" << r.messages;
    if (table) *table = r.constantTable;
    return r.code;
  }

  // The linked program, or 0 with the GL logs in *log.
  static GLuint Link(const ShaderCode& vs, const ShaderCode& ps, std::string* log) {
    GLuint program = glCreateProgram();
    for (const ShaderCode* code : {&vs, &ps}) {
      GLuint shader = glCreateShader(code->stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
      const char* text = code->glsl.c_str();
      glShaderSource(shader, 1, &text, nullptr);
      glCompileShader(shader);
      GLint ok = 0;
      glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
      if (!ok) {
        char buffer[4096] = {};
        glGetShaderInfoLog(shader, sizeof buffer, nullptr, buffer);
        *log += buffer + code->glsl;
      }
      glAttachShader(program, shader);
      glDeleteShader(shader);
    }
    glLinkProgram(program);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
      char buffer[4096] = {};
      glGetProgramInfoLog(program, sizeof buffer, nullptr, buffer);
      *log += buffer;
      glDeleteProgram(program);
      return 0;
    }
    return program;
  }

  EGLDisplay display_ = EGL_NO_DISPLAY;
  EGLContext context_ = EGL_NO_CONTEXT;
};

TEST_F(GlContext, SeparatelyCompiledPairsLink) {
  struct Pair {
    const char* what;
    const char* vs;
    const char* ps;
  };
  const Pair pairs[] = {
      {"source quad with effect syntax",
       "float4x4 matWVP; float4 Color; sampler2D S = sampler_state { MinFilter = Linear; };"
       "struct O { float4 p : POSITION; float4 c : COLOR0; float2 t : TEXCOORD0; };"
       "O vs_main(float3 p : POSITION, float2 t : TEXCOORD0) { O o; o.p = mul(float4(p, 1), matWVP); o.c = Color; o.t = t; return o; }"
       "technique T { pass P { } }",
       "float4 KeyColor; float KeyDist; sampler2D S;"
       "float4 ps_colorkey(float4 c : COLOR0, float2 t : TEXCOORD0) : COLOR0 {"
       " float4 x = tex2D(S, t); if (distance(x.rgb, KeyColor.rgb) < KeyDist) x.a = 0; return x * c; }"},
      {"different widths, order and unused varyings",
       "struct O { float4 p : POSITION; float3 t1 : TEXCOORD1; float2 t0 : TEXCOORD0; float4 n : NORMAL; };"
       "O vs_main(float4 p : POSITION) { O o; o.p = p; o.t1 = p.xyz; o.t0 = p.xy; o.n = p; return o; }",
       "float4 ps_main(float4 t0 : TEXCOORD0, float2 t1 : TEXCOORD1) : COLOR { return t0 + t1.xyxy; }"},
      {"three coordinate sets, three samplers",
       "float4x4 matWVP; struct O { float4 p : POSITION; float2 a : TEXCOORD0; float2 b : TEXCOORD1; float2 c : TEXCOORD2; };"
       "O vs_main(float3 p : POSITION, float2 a : TEXCOORD0, float2 b : TEXCOORD1, float2 c : TEXCOORD2) {"
       " O o; o.p = mul(float4(p, 1), matWVP); o.a = a; o.b = b; o.c = c; return o; }",
       "sampler2D A : register(s0); sampler2D B : register(s1); sampler2D N : register(s2); float Opacity;"
       "float4 ps_main(float2 a : TEXCOORD0, float2 b : TEXCOORD1, float2 c : TEXCOORD2) : COLOR0 {"
       " return lerp(tex2D(B, b), tex2D(A, a) * tex2Dlod(N, float4(c, 0, 0)).r, Opacity); }"},
      {"flat, integer and linear inputs beside interpolated ones",
       "struct O { float4 p : POSITION; float4 a : TEXCOORD0; int2 i : TEXCOORD1; float2 b : TEXCOORD2; float c : FOG; };"
       "O vs_main(float4 p : POSITION) { O o; o.p = p; o.a = p; o.i = int2(p.xy); o.b = p.xy; o.c = p.z; return o; }",
       "float4 ps_main(nointerpolation float4 a : TEXCOORD0, int2 i : TEXCOORD1, noperspective float2 b : TEXCOORD2,"
       " float c : FOG) : COLOR0 { return a + float4(i, b) * c; }"},
      {"colour outputs and depth",
       "float4 vs_main(float4 p : POSITION, float4 c : COLOR0, out float4 oc : COLOR0, out float s : PSIZE) : POSITION {"
       " oc = c; s = 1; return p; }",
       "struct R { float4 c1 : COLOR1; float4 c0 : COLOR0; float d : DEPTH; };"
       "R ps_main(float4 c : COLOR0) { R r; r.c0 = c; r.c1 = c.bgra; r.d = c.a; return r; }"},
  };
  for (const Pair& p : pairs) {
    auto vs = Compile(p.vs, "vs_main", "vs_3_0");
    auto ps = Compile(p.ps, std::string_view(p.ps).find("ps_colorkey") != std::string_view::npos ? "ps_colorkey" : "ps_main",
                      "ps_3_0");
    ASSERT_TRUE(vs && ps) << p.what;
    std::string log;
    GLuint program = Link(*vs, *ps, &log);
    EXPECT_NE(program, 0u) << p.what << "\n" << log;
    glDeleteProgram(program);
  }
}

class Registers : public ConstantSink {
 public:
  void SetShaderConstantF(ShaderStage stage, int start, const float* data, int count4) override {
    std::memcpy((stage == ShaderStage::Vertex ? vertex : pixel).data() + start * 4, data, count4 * 16);
  }
  std::array<float, kVertexConstantRegisters * 4> vertex{};
  std::array<float, kVertexConstantRegisters * 4> pixel{};
};

// Draws a quad from -1 to 1 through matWVP into an 8x8 target and reads the
// pixels back (row 0 at the bottom, as GL reads them).
TEST_F(GlContext, ConstantsSetThroughTheTableReachThePixels) {
  for (const char* packing : {"", "row_major "}) {
    SCOPED_TRACE(packing);
    const std::string vsText = std::string(packing) +
        "float4x4 matWVP; float4 vs_main(float2 p : POSITION) : POSITION { return mul(float4(p, 0, 1), matWVP); }";
    const char* psText = "float4 Unused[3]; bool On; float4 Color; float4 ps_main() : COLOR0 { return On ? Color : 0; }";
    std::shared_ptr<ConstantTable> vsTable, psTable;
    auto vs = Compile(vsText, "vs_main", "vs_2_0", &vsTable);
    auto ps = Compile(psText, "ps_main", "ps_2_0", &psTable);
    ASSERT_TRUE(vs && ps);
    std::string log;
    GLuint program = Link(*vs, *ps, &log);
    ASSERT_NE(program, 0u) << log;

    // Half size, moved by half the target up and right: the top-right quarter.
    Registers registers;
    const float matWVP[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0.5f, 0.5f, 0, 1};
    const float color[4] = {1, 0.5f, 0.25f, 1};
    ASSERT_TRUE(vsTable->SetMatrix(registers, vsTable->GetConstantByName("matWVP"), matWVP));
    ASSERT_TRUE(psTable->SetVector(registers, psTable->GetConstantByName("Color"), color));
    ASSERT_TRUE(psTable->SetBool(registers, psTable->GetConstantByName("On"), true));

    GLuint buffers[3], texture, framebuffer, vao;
    glGenBuffers(3, buffers);
    for (const ShaderCode* code : {vs.get(), ps.get()}) {
      std::vector<uint8_t> block(code->uniformBlockSize);
      FillUniformBlock(*code, (code == vs.get() ? registers.vertex : registers.pixel).data(), kVertexConstantRegisters,
                       block.data());
      GLuint buffer = buffers[code == vs.get() ? 0 : 1];
      glBindBuffer(GL_UNIFORM_BUFFER, buffer);
      glBufferData(GL_UNIFORM_BUFFER, block.size(), block.data(), GL_STATIC_DRAW);
      glBindBufferBase(GL_UNIFORM_BUFFER, code->uniformBinding, buffer);
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_RGBA8, 8, 8);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glViewport(0, 0, 8, 8);
    const float quad[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[2]);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glVertexAttribPointer(vs->inputs.at(0).location, 2, GL_FLOAT, GL_FALSE, 8, nullptr);
    glEnableVertexAttribArray(vs->inputs.at(0).location);
    glUseProgram(program);

    auto draw = [&] {
      glClearColor(0, 0, 1, 1);
      glClear(GL_COLOR_BUFFER_BIT);
      glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
      std::array<uint8_t, 8 * 8 * 4> pixels{};
      glReadPixels(0, 0, 8, 8, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
      return pixels;
    };
    auto pixel = [](const std::array<uint8_t, 256>& p, int x, int y) {
      const uint8_t* q = &p[(y * 8 + x) * 4];
      return std::array<int, 4>{q[0], q[1], q[2], q[3]};
    };
    auto shown = draw();
    EXPECT_EQ(pixel(shown, 6, 6), (std::array<int, 4>{255, 128, 64, 255}));
    for (auto [x, y] : {std::pair{1, 1}, std::pair{6, 1}, std::pair{1, 6}, std::pair{3, 3}})
      EXPECT_EQ(pixel(shown, x, y), (std::array<int, 4>{0, 0, 255, 255})) << x << "," << y;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    glDeleteVertexArrays(1, &vao);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteBuffers(3, buffers);
    glDeleteProgram(program);
  }
}

}  // namespace
}  // namespace gfx
