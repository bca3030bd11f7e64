// Solarize Source: each channel biased, then rounded to Steps.x + 1 levels
// (Steps.y is 1 / Steps.x). Alpha stays as the texel has it.
float4x4 matWVP;
float4 KeyColor;
float KeyDist;
float4 Bias;
float4 Steps;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Tex = tex;
  return o;
}

float4 Posterise(float4 t) {
  float3 c = t.rgb + Bias.rgb;
  c = round(c * Steps.x) * Steps.y;
  return float4(c, t.a);
}

float4 ps_passthrough(float2 tex : TEXCOORD0) : COLOR0 {
  return Posterise(tex2D(Source, tex));
}

// Texels within KeyDist of KeyColor become transparent.
float4 ps_colorkey(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return Posterise(t);
}
