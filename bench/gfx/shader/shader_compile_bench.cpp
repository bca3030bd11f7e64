// Compile time of a vertex + pixel shader pair from the same text: the first
// pair of the process (the HLSL front end builds its tables then) and later
// pairs. The GL link is the device's and is not included.
#include <benchmark/benchmark.h>

#include "platform/gfx/shader_compiler.h"

namespace {

constexpr std::string_view kSource = R"(
float4x4 matWVP;
float4 Color;
float4 KeyColor;
float KeyDist;
sampler2D Source = sampler_state { MinFilter = Linear; MagFilter = Linear; };
struct VS_OUTPUT { float4 Pos : POSITION; float4 Diffuse : COLOR0; float2 Tex : TEXCOORD0; };
VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o; o.Pos = mul(float4(pos, 1), matWVP); o.Diffuse = Color; o.Tex = tex; return o; }
float4 ps_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex); if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0; return t * diffuse; }
technique T0 { pass P0 { } }
)";

void CompilePair(benchmark::State& state) {
  for (auto _ : state) {
    gfx::ShaderCompileRequest request;
    request.source = kSource;
    request.entryPoint = "vs_main";
    request.profile = "vs_3_0";
    auto vs = gfx::CompileShader(request);
    request.entryPoint = "ps_colorkey";
    request.profile = "ps_3_0";
    auto ps = gfx::CompileShader(request);
    if (!vs.code || !ps.code) state.SkipWithError("compile failed");
    benchmark::DoNotOptimize(vs.code);
    benchmark::DoNotOptimize(ps.code);
  }
}

// Registered first and run once: the process's first pair.
BENCHMARK(CompilePair)->Name("CompilePair/first")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(CompilePair)->Name("CompilePair/later")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
