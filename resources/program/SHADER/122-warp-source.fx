// Warp Source: each vertex carries its angle (x) and distance (y) from the
// texture centre; both are bent here and turned back into a texture
// coordinate. With every term 0 the texture maps straight.
float4x4 matWVP;
float4 Color;
float Twist;
float Pinch;
float Rot;
float Petals;
float PetalStrength;
float PetalOffset;
float2 UVOffset;
float4 KeyColor;
float KeyDist;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 polar : TEXCOORD0) {
  VS_OUTPUT o;
  float angle = polar.x + Rot + polar.y * Twist;
  float dist = polar.y + Pinch + sin(angle * Petals + PetalOffset) * PetalStrength;
  o.Tex = float2(sin(angle) * dist + 0.5, -cos(angle) * dist + 0.5) + UVOffset;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Diffuse = Color;
  return o;
}

float4 ps_passthrough(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return diffuse * tex2D(Source, tex);
}

// Texels nearer than KeyDist to the key colour become transparent.
float4 ps_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0;
  return diffuse * t;
}
