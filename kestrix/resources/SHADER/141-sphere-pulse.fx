// Sphere Pulse Source: the shape's surface pulses with two travelling sine
// waves, one around the axis (the vertex's angle) and one along z. The
// texture wraps.
float4x4 matWVP;
float4x4 matView;
float4 Color;
float4 Offset;
float4 Multiplier;
float4 KeyColor;
float KeyDist;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

float Pulse(float3 pos, float angle) {
  float sx = sin(4 * angle + Offset.x) * Multiplier.x;
  float sy = cos(5 * pos.z + Offset.y) * Multiplier.y;
  return 1 + sx + sy;
}

VS_OUTPUT vs_main(float3 pos : POSITION, float3 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos * Pulse(pos, tex.z), 1), matWVP);
  o.Diffuse = Color;
  o.Tex = tex.xy;
  return o;
}

// Shaded from either side by how squarely the surface faces the eye; the
// direction from the centre stands in for the normal, which the vertex
// does not carry.
VS_OUTPUT vs_doubleside_lit(float3 pos : POSITION, float3 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos * Pulse(pos, tex.z), 1), matWVP);
  float3 n = normalize(mul(pos, (float3x3)matView));
  o.Diffuse = float4(Color.rgb * abs(dot(n, float3(0, 0, -1))), Color.a);
  o.Tex = tex.xy;
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
