// Twister Generator: lit solid objects. The light comes from above and in
// front of the viewer; n . L is left unclamped in the plain lighting so
// faces turned away darken below the ambient share.
float4x4 matWVP;
float4x4 matView;
float4 Color;

static const float3 LightDir = float3(0, 0.707, -0.707);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Color : COLOR0;
};

VS_OUTPUT vs_lit(float3 pos : POSITION, float3 normal : NORMAL) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  float3 n = normalize(mul(normal, (float3x3)matView));
  o.Color = float4(Color.rgb * (0.3 + 0.7 * dot(n, LightDir)), Color.a);
  return o;
}

struct VS_SHINY {
  float4 Pos : POSITION;
  float4 Color : COLOR0;
  float3 Normal : TEXCOORD0;
  float3 Viewer : TEXCOORD1;
};

VS_SHINY vs_lit_shiny(float3 pos : POSITION, float3 normal : NORMAL) {
  VS_SHINY o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Normal = normalize(mul(normal, (float3x3)matView));
  o.Viewer = normalize(mul(pos, (float3x3)matView));
  o.Color = Color;
  return o;
}

float4 ps_passthrough(float4 color : COLOR0) : COLOR0 { return color; }

float4 ps_shiny(float4 color : COLOR0, float3 normal : TEXCOORD0, float3 viewer : TEXCOORD1) : COLOR0 {
  float d = dot(normal, LightDir);
  float3 r = normalize(2 * d * normal - LightDir);
  float specular = pow(saturate(dot(r, viewer)), 16);
  return float4(color.rgb * (0.3 + 0.7 * saturate(d)) + 0.3 * specular, color.a);
}
