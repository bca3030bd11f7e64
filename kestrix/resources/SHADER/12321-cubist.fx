// Cubist Source: the source on the faces of a box of half-size Scale. The
// sampler clamps.
float4x4 matWVP;
float4x4 matView;
float4 Color;
float4 Scale;
float4 KeyColor;
float KeyDist;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float3 normal : NORMAL, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos * Scale.xyz, 1), matWVP);
  o.Diffuse = Color;
  o.Tex = tex;
  return o;
}

// How squarely the face looks at the eye, in view space.
float Facing(float3 normal) { return dot(normalize(mul(normal, (float3x3)matView)), float3(0, 0, -1)); }

// Lit from the eye: faces seen edge-on go black.
VS_OUTPUT vs_lit(float3 pos : POSITION, float3 normal : NORMAL, float2 tex : TEXCOORD0) {
  VS_OUTPUT o = vs_main(pos, normal, tex);
  o.Diffuse = float4(Color.rgb * Facing(normal), Color.a);
  return o;
}

// The same from either side of a face.
VS_OUTPUT vs_doubleside_lit(float3 pos : POSITION, float3 normal : NORMAL, float2 tex : TEXCOORD0) {
  VS_OUTPUT o = vs_main(pos, normal, tex);
  o.Diffuse = float4(Color.rgb * abs(Facing(normal)), Color.a);
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
