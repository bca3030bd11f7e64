#include "freeframe/freeframe_quad_shader.h"

namespace ff {

const char kQuadShaderText[] = R"(
float4x4 matWVP;
float4 Color;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Diffuse = Color;
  o.Tex = tex;
  return o;
}

float4 ps_passthrough(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * diffuse;
}
)";

}  // namespace ff
