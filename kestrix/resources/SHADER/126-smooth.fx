// Smooth Source: each texel moves towards the six texels k * PixelSize away
// (k = +-1, +-2, +-3) by their differences, each weighed down the more it
// exceeds SmoothRange.x (the slope is SmoothRange.y), so edges survive.
float4x4 matWVP;
float4 PixelSize;
float4 SmoothRange;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_smooth(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Tex = tex;
  return o;
}

float3 Weighed(float2 tex, float k, float3 s) {
  float3 d = tex2D(Source, tex + k * PixelSize.xy).rgb - s;
  float w = 1 - saturate(dot((abs(d) - SmoothRange.x) * SmoothRange.y, float3(0.3, 0.5, 0.2)));
  return w * d;
}

float4 ps_smooth(float2 tex : TEXCOORD0) : COLOR0 {
  float4 s = tex2D(Source, tex);
  float3 sum = Weighed(tex, -3, s.rgb) + Weighed(tex, -2, s.rgb) + Weighed(tex, -1, s.rgb) +
               Weighed(tex, 1, s.rgb) + Weighed(tex, 2, s.rgb) + Weighed(tex, 3, s.rgb);
  return float4(s.rgb + sum / 6, s.a);
}
