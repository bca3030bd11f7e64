// Tunnel and Wormhole Source: the source on a mesh seen in perspective. The
// texture coordinate is tiled and scrolled here; the sampler wraps.
float4x4 matWVP;
float4 Color;
float4 UVScale;
float4 UVOffset;
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
  o.Tex = tex * UVScale.xy + UVOffset.xy;
  return o;
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
