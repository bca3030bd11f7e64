// SuperShape: a cloud of points on a superformula surface. Each point holds
// its longitude and latitude with their sines and cosines; the shape's
// constants bend the unit sphere into the current shape.
float4x4 matWVP;
float4 Color;
float4 aN;  // longitude curve: 1 / n1, n2, n3
float4 bN;  // latitude curve
float aM;
float bM;
float4 KeyColor;
float KeyDist;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

float SuperRadius(float angle, float m, float3 n) {
  return pow(pow(abs(cos(m * angle)), n.y) + pow(abs(sin(m * angle)), n.z), n.x);
}

VS_OUTPUT vs_main(float3 longitude : POSITION0, float3 latitude : POSITION1, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  float r1 = SuperRadius(longitude.x, aM, aN.xyz);
  float r2 = SuperRadius(latitude.x, bM, bN.xyz);
  float3 p = float3(r1 * r2 * longitude.z * latitude.z, r1 * r2 * longitude.y * latitude.z, r2 * latitude.y);
  o.Pos = mul(float4(p, 1), matWVP);
  o.Diffuse = Color;
  o.Tex = tex;
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
