// The quad times a colour, shared by text, fades and zoomed copies.
// ps_lumaalpha takes its alpha from the texel's green channel (white glyphs
// on black), so only the glyphs carry the colour; the "screen" variants
// weight the texel's alpha by its brightness. No further scaling.
float4x4 matWVP;
float4 Color;
float4 KeyColor;
float KeyDist;
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

float4 ps_lumaalpha(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 c = diffuse;
  c.a *= tex2D(Source, tex).g;
  return c;
}

float4 ps_passthrough(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * diffuse;
}

// Texels within KeyDist of KeyColor become transparent.
float4 ps_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return t * diffuse;
}

float4 Screened(float4 t, float4 diffuse) {
  t.a *= (t.r + t.g + t.b) * 0.33333;
  return t * diffuse;
}

float4 ps_screen(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return Screened(tex2D(Source, tex), diffuse);
}

float4 ps_screen_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return Screened(t, diffuse);
}
