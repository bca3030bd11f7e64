// Arrays of vectors filled from flat lists of numbers.
static const float2 Offsets[3] = { 0.1, 0.2,  0.3, 0.4,  0.5, 0.6 };
static const float3x2 Pair[1] = { 1, 2, 3, 4, 5, 6 };

float4 vs_main(float4 pos : POSITION) : POSITION { return pos; }

float4 ps_main() : COLOR0 {
  float3 weights[2] = { 0.5, 0.25, 0,
                        0.25, 0.5, 1 };
  float2 sum = Offsets[1] * weights[0].x + Offsets[2] * weights[1].y;
  return float4(sum, weights[1].z * Pair[0][2].y / 6, 1);
}
