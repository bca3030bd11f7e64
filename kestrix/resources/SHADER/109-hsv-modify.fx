// HSV Modify Source: the texel's colour through one colour matrix (acting on
// the row vector (R, G, B, 1)); the texel's alpha stays.
float4x4 matWVP;
float4 Color;
float4x4 HSVMatrix;
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

float4 ps_main(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  float4 c = mul(float4(t.rgb, 1), HSVMatrix);
  return float4(c.rgb, t.a);
}
