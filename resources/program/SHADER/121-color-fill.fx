// Color Fill: the target covered by one colour.
float4x4 matWVP;
float4 EffectColor;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
};

VS_OUTPUT vs_main(float3 pos : POSITION) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Diffuse = EffectColor;
  return o;
}

float4 ps_passthrough(float4 diffuse : COLOR0) : COLOR0 { return diffuse; }
