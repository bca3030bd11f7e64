// Loop counters read after their loops, the old Direct3D 9 scoping.
float4 vs_main(float4 pos : POSITION) : POSITION { return pos; }

float4 ps_main() : COLOR0 {
  float sum = 0;
  for (int i = 0; i < 3; i++)
    sum += 0.1;
  float last = i / 4.0;
  for (int i = 0; i < 2; i++) {
    sum += 0.1;
  }
  return float4(sum, last, i / 4.0, 1);
}
