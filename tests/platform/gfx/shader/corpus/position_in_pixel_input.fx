// One struct for both stages: the pixel shader gets the position too and
// never reads it.
struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

float4 Tint;

VS_OUTPUT vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = pos;
  o.Diffuse = Tint;
  o.Tex = tex;
  return o;
}

float4 ps_main(VS_OUTPUT In) : COLOR0 {
  return float4(In.Tex.x, In.Tex.y, 0, 1) * In.Diffuse;
}
