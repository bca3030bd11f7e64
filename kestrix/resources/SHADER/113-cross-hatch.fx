// Cross-Hatch Source: the pixel's grey (moved by BrightAdjust) says how far
// it lies into each of four darkness bands; each band adds the strokes of
// one pattern layer (red the lightest band, alpha the darkest). The hatching
// is mixed over the source colour, desaturated towards grey by Saturate.
float4x4 matWVP;
float4 KeyColor;
float KeyDist;
float BrightAdjust;
float HatchStrength;
float Saturate;
sampler2D Source : register(s0);
sampler2D Hatch : register(s1);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
  float2 PatternTex : TEXCOORD1;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0, float2 patternTex : TEXCOORD1) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Tex = tex;
  o.PatternTex = patternTex;
  return o;
}

float4 Hatched(float4 t, float2 patternTex) {
  float g = (t.r + t.g + t.b) / 3;
  float3 colour = lerp(float3(g, g, g), t.rgb, Saturate);
  g += BrightAdjust;
  float4 weights = saturate((1 - g) * 4 + float4(-3, -2, -1, 0));
  float hatch = 1 - dot(1 - tex2D(Hatch, patternTex).abgr, weights);
  return float4(lerp(colour, float3(hatch, hatch, hatch), HatchStrength), t.a);
}

float4 ps_hatch(float2 tex : TEXCOORD0, float2 patternTex : TEXCOORD1) : COLOR0 {
  return Hatched(tex2D(Source, tex), patternTex);
}

// Texels within KeyDist of KeyColor become transparent.
float4 ps_hatch_keyed(float2 tex : TEXCOORD0, float2 patternTex : TEXCOORD1) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return Hatched(t, patternTex);
}
