// A full-screen horizontal blur of three taps, one texel apart.
float2 TexelSize;
sampler2D Source : register(s0);

static const float Weights[3] = { 0.25, 0.5, 0.25 };

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_blur(float4 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = pos;
  o.Tex = tex;
  return o;
}

float4 ps_blur(float2 tex : TEXCOORD0) : COLOR0 {
  float4 sum = 0;
  for (int k = -1; k <= 1; k++)
    sum += tex2D(Source, tex + float2(k * TexelSize.x, 0)) * Weights[k + 1];
  return sum;
}
