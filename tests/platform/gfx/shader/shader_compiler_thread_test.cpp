// The render thread and the user-interface thread both compile shaders
// (device objects are made from either); compiles may overlap.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/gfx/constant_table.h"
#include "platform/gfx/shader_compiler.h"

namespace gfx {
namespace {

constexpr std::string_view kSource =
    "float4x4 matWVP; float4 Color; sampler2D S;"
    "struct O { float4 p : POSITION; float4 c : COLOR0; float2 t : TEXCOORD0; };"
    "O vs_main(float3 p : POSITION, float2 t : TEXCOORD0) { O o; o.p = mul(float4(p, 1), matWVP); o.c = Color; o.t = t; return o; }"
    "float4 ps_main(float4 c : COLOR0, float2 t : TEXCOORD0) : COLOR0 { return tex2D(S, t) * c; }";

TEST(ShaderCompilerThreads, OverlappingCompilesAllSucceedAlike) {
  constexpr int kThreads = 4;
  std::vector<std::string> glsl(kThreads * 2);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &glsl] {
      for (int stage = 0; stage < 2; ++stage) {
        ShaderCompileRequest request;
        request.source = kSource;
        request.entryPoint = stage == 0 ? "vs_main" : "ps_main";
        request.profile = stage == 0 ? "vs_3_0" : "ps_3_0";
        ShaderCompileResult r = CompileShader(request);
        if (r.code) glsl[t * 2 + stage] = r.code->glsl;
      }
    });
  for (std::thread& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_FALSE(glsl[t * 2].empty());
    EXPECT_EQ(glsl[t * 2], glsl[0]);
    EXPECT_EQ(glsl[t * 2 + 1], glsl[1]);
  }
}

}  // namespace
}  // namespace gfx
