// Rays Generator: soft bands whose colour runs from each ray's centre line
// (full colour) to its edges (transparent black).
float4x4 matWVP;
float4 Color;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Color : COLOR0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float4 color : COLOR0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Color = color * Color;
  return o;
}

float4 ps_main(float4 color : COLOR0) : COLOR0 { return color; }
