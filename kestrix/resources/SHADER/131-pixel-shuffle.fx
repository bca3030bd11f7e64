// Pixel Shuffle Source: the offset map's red and green (less one half, plus
// Offset) times Strength displace the source's texture coordinates.
float4x4 matWVP;
float4 KeyColor;
float KeyDist;
float4 Strength;
float4 Offset;
sampler2D Source : register(s0);
sampler2D OffsetMap : register(s1);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 OffsetTex : TEXCOORD0;
  float2 SourceTex : TEXCOORD1;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 offsetTex : TEXCOORD0, float2 sourceTex : TEXCOORD1) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.OffsetTex = offsetTex;
  o.SourceTex = sourceTex;
  return o;
}

float4 Shuffled(float2 offsetTex, float2 sourceTex) {
  float2 o = tex2D(OffsetMap, offsetTex).rg + Offset.xy - 0.5;
  return tex2D(Source, sourceTex + o * Strength.xy);
}

float4 ps_shuffle(float2 offsetTex : TEXCOORD0, float2 sourceTex : TEXCOORD1) : COLOR0 {
  return Shuffled(offsetTex, sourceTex);
}

// Texels within KeyDist of KeyColor become transparent.
float4 ps_shuffle_keyed(float2 offsetTex : TEXCOORD0, float2 sourceTex : TEXCOORD1) : COLOR0 {
  float4 t = Shuffled(offsetTex, sourceTex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return t;
}
