// The pixel's own position, as VPOS and as POSITION in the input struct.
struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = pos;
  o.Tex = tex;
  return o;
}

float4 ps_vpos(float2 vpos : VPOS) : COLOR0 {
  return float4(vpos / 255.0, 0, 1);
}

float4 ps_position(VS_OUTPUT In) : COLOR0 {
  return float4(In.Pos.xy / 255.0, In.Tex.x, 1);
}
