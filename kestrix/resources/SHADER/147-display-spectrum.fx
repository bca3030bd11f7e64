// Display Spectrum: a height field over the grid, coloured by height along
// blue-grey, green, yellow and red (the last ramp is not clamped).
float4x4 matWVP;
float4 Color;
float4 Gain;  // x: height, y: colour

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
};

VS_OUTPUT vs_main(float2 grid : POSITION0, float height : POSITION1) {
  VS_OUTPUT o;
  o.Pos = mul(float4(grid.x, height * Gain.x, grid.y, 1), matWVP);
  float v = height * Gain.y;
  float3 c;
  if (v < 0.3333) c = lerp(float3(0.25, 0.25, 0.5), float3(0.25, 1.0, 0.25), 3 * v);
  else if (v < 0.6666) c = lerp(float3(0.25, 1.0, 0.25), float3(1.0, 1.0, 0.25), 3 * (v - 0.3333));
  else c = lerp(float3(1.0, 1.0, 0.25), float3(1.0, 0.15, 0.15), 3 * (v - 0.6666));
  o.Diffuse = float4(c, Color.a);
  return o;
}

float4 ps_main(float4 diffuse : COLOR0) : COLOR0 { return diffuse; }
