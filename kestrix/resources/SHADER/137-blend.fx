// Blend Source: the source S over the frame F in one of 14 modes, mixed by
// the source's alpha times Opacity. Dissolve instead shows S where that mix
// reaches a noise value, else F.
float4x4 matWVP;
float Opacity;
sampler2D Source : register(s0);
sampler2D Frame : register(s1);
sampler2D Noise : register(s2);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 TexS : TEXCOORD0;
  float2 TexF : TEXCOORD1;
  float2 TexN : TEXCOORD2;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 texS : TEXCOORD0, float2 texF : TEXCOORD1, float2 texN : TEXCOORD2) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.TexS = texS;
  o.TexF = texF;
  o.TexN = texN;
  return o;
}

float4 Mixed(float4 b, float4 s, float4 f) {
  float a = s.a * Opacity;
  return b * a + f * (1 - a);
}

float4 ps_Normal(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(s, s, f);
}

float4 ps_Dissolve(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1, float2 tn : TEXCOORD2) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  float n = (tex2D(Noise, tn).r + tex2D(Noise, tn * 0.5).r + tex2D(Noise, tn * 0.25).r) * 0.33333;
  return s.a * Opacity >= n ? s : f;
}

float4 ps_Darken(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(min(s, f), s, f);
}

float4 ps_Multiply(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(s * f, s, f);
}

// A black source channel burns to 0 (no division by zero).
float4 ps_Burn(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  float4 b = saturate(1 - (1 - f) / max(s, 0.0001));
  b = s > 0 ? b : 0;
  return Mixed(b, s, f);
}

float4 ps_Lighten(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(max(s, f), s, f);
}

float4 ps_Screen(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(1 - (1 - s) * (1 - f), s, f);
}

// A white source channel dodges to 1 (no division by zero).
float4 ps_Dodge(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  float4 b = saturate(f / max(1 - s, 0.0001));
  b = s < 1 ? b : 1;
  return Mixed(b, s, f);
}

float4 OverlayBy(float4 pick, float4 s, float4 f) {
  float4 low = saturate(2 * s * f);
  float4 high = saturate(1 - 2 * (1 - s) * (1 - f));
  return lerp(low, high, round(pick));
}

float4 ps_Overlay(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(OverlayBy(f, s, f), s, f);
}

float4 ps_SoftLight(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(saturate(f * s + f * (1 - (1 - f) * (1 - s) - f * s)), s, f);
}

float4 ps_HardLight(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(OverlayBy(s, s, f), s, f);
}

float4 ps_PinLight(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(lerp(min(s, f), max(s, f), round(s)), s, f);
}

float4 ps_Difference(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(abs(s - f), s, f);
}

float4 ps_Exclusion(float2 ts : TEXCOORD0, float2 tf : TEXCOORD1) : COLOR0 {
  float4 s = tex2D(Source, ts);
  float4 f = tex2D(Frame, tf);
  return Mixed(s + f - 2 * s * f, s, f);
}
