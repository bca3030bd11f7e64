// Two-bone skinning in vs_2_0 with an array of 4x3 bone matrices.
float4x3 Bones[4];
float4x4 ViewProjection;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
};

VS_OUTPUT vs_skin(float4 pos : POSITION, float4 weights : BLENDWEIGHT, float4 indices : BLENDINDICES) {
  VS_OUTPUT o;
  float3 p = 0;
  for (int b = 0; b < 2; b++)
    p += mul(pos, Bones[indices[b]]) * weights[b];
  o.Pos = mul(float4(p, 1), ViewProjection);
  o.Diffuse = float4(weights.x, weights.y, 0, 1);
  return o;
}

float4 ps_main(float4 diffuse : COLOR0) : COLOR0 { return diffuse; }
