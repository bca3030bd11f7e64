// Fractal Shuffle Source: the source at z * z + Shift for each centred
// screen point z, zoomed by Zoom.x before and Zoom.y (1 / Zoom.x) after.
float4x4 matWVP;
float4 SourceUV;
float4 Tint;
float4 Shift;
float4 Zoom;
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

float4 ps_shuffle(float2 tex : TEXCOORD0) : COLOR0 {
  float2 p = tex * Zoom.x;
  float2 q = float2(p.x * p.x - p.y * p.y, 2 * p.x * p.y) + Shift.xy;
  q = q * Zoom.y + 0.5;
  return tex2D(Source, q) * Tint;
}
