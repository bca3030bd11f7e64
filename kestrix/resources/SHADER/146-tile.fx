// Tile Source: centred texture coordinates turned by RotZoom.x and scaled by
// RotZoom.y; wrap addressing repeats the source. The 0.75 and 1.3333 keep
// tiles square on a 4:3 target.
float4x4 matWVP;
float4 RotZoom;
float4 Tint;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  float s = sin(RotZoom.x);
  float c = cos(RotZoom.x);
  float2 t = float2(tex.x * c + tex.y * s * 0.75, -tex.x * s * 1.3333 + tex.y * c);
  o.Tex = t * RotZoom.y + 0.5;
  return o;
}

float4 ps_passthrough(float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * Tint;
}
