// The source quad times the vertex colour, with its keyed, "screen" and
// text variants. Alpha blending does the rest.
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

float4 Keyed(float4 t) {
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return t;
}

// Dark texels fade out: alpha follows the brightness.
float4 Screened(float4 t) {
  t.a *= (t.r + t.g + t.b) * 0.33333;
  return t;
}

float4 ps_passthrough(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * diffuse;
}

float4 ps_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return Keyed(tex2D(Source, tex)) * diffuse;
}

float4 ps_screen(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return Screened(tex2D(Source, tex)) * diffuse;
}

float4 ps_screen_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return Screened(Keyed(tex2D(Source, tex))) * diffuse;
}

// Glyphs drawn white on black: the colour where the text is, clear elsewhere.
float4 ps_lumaalpha(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return float4(diffuse.rgb, diffuse.a * tex2D(Source, tex).g);
}
