// Blur and Glow: a seven-tap box blur in two separable passes, a key pass
// that keeps the texels near KeyColor, and a plain copy.
float4x4 matWVP;
float4 Color;
float4 PixelSize;  // the step between taps, in texture units
float4 KeyColor;
float KeyDist;
sampler2D Source : register(s0);

struct VS_ONE {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

struct VS_SEVEN {
  float4 Pos : POSITION;
  float2 T0 : TEXCOORD0;
  float2 T1 : TEXCOORD1;
  float2 T2 : TEXCOORD2;
  float2 T3 : TEXCOORD3;
  float2 T4 : TEXCOORD4;
  float2 T5 : TEXCOORD5;
  float2 T6 : TEXCOORD6;
};

VS_ONE vs_pass1(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_ONE o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Diffuse = Color;
  o.Tex = tex;
  return o;
}

VS_SEVEN Taps(float3 pos, float2 tex, float2 step) {
  VS_SEVEN o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.T0 = tex - 3 * step;
  o.T1 = tex - 2 * step;
  o.T2 = tex - step;
  o.T3 = tex;
  o.T4 = tex + step;
  o.T5 = tex + 2 * step;
  o.T6 = tex + 3 * step;
  return o;
}

VS_SEVEN vs_pass2Horiz(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  return Taps(pos, tex, float2(PixelSize.x, 0));
}

VS_SEVEN vs_pass2Vert(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  return Taps(pos, tex, float2(0, PixelSize.y));
}

float4 ps_pass1Blur(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * diffuse;
}

float4 ps_pass1Glow(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  return distance(t.rgb, KeyColor.rgb) < KeyDist ? diffuse : float4(0, 0, 0, 0);
}

float4 Mean(VS_SEVEN i) {
  float4 sum = tex2D(Source, i.T0) + tex2D(Source, i.T1) + tex2D(Source, i.T2) + tex2D(Source, i.T3) +
               tex2D(Source, i.T4) + tex2D(Source, i.T5) + tex2D(Source, i.T6);
  return sum * (1.0 / 7);
}

float4 ps_pass2Horiz(float2 t0 : TEXCOORD0, float2 t1 : TEXCOORD1, float2 t2 : TEXCOORD2, float2 t3 : TEXCOORD3,
                     float2 t4 : TEXCOORD4, float2 t5 : TEXCOORD5, float2 t6 : TEXCOORD6) : COLOR0 {
  VS_SEVEN i;
  i.Pos = 0;
  i.T0 = t0; i.T1 = t1; i.T2 = t2; i.T3 = t3; i.T4 = t4; i.T5 = t5; i.T6 = t6;
  return Mean(i);
}

float4 ps_pass2Vert(float2 t0 : TEXCOORD0, float2 t1 : TEXCOORD1, float2 t2 : TEXCOORD2, float2 t3 : TEXCOORD3,
                    float2 t4 : TEXCOORD4, float2 t5 : TEXCOORD5, float2 t6 : TEXCOORD6) : COLOR0 {
  VS_SEVEN i;
  i.Pos = 0;
  i.T0 = t0; i.T1 = t1; i.T2 = t2; i.T3 = t3; i.T4 = t4; i.T5 = t5; i.T6 = t6;
  return Mean(i);
}
