// Invert Source: the source mixed towards its inverse by InvertScale. The
// mix is applied twice towards the same inverse, so the effective amount is
// 1 - (1 - s)^2. Alpha stays as the texel has it.
float4x4 matWVP;
float InvertScale;
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

float4 ps_invert(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  float3 inverse = 1 - t.rgb;
  float3 c = lerp(t.rgb, inverse, InvertScale);
  c = lerp(c, inverse, InvertScale);
  return float4(c, t.a);
}

// Inverts the brightness and keeps each channel's offset from it, so the
// hue differences survive.
float4 ps_invertbright(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  float b = dot(t.rgb, float3(0.3, 0.5, 0.2));
  float3 inverse = (1 - b) - (b - t.rgb);
  float3 c = lerp(t.rgb, inverse, InvertScale);
  c = lerp(c, inverse, InvertScale);
  return float4(c, t.a);
}
