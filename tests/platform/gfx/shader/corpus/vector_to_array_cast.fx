// A vector read as an array of its components.
float4 Color;

float4 vs_main(float4 pos : POSITION) : POSITION { return pos; }

float Last(float values[4]) { return values[3]; }

float4 ps_main() : COLOR0 {
  float parts[4] = (float[4])Color;
  return float4(parts[3], parts[2], parts[1], Last((float[4])Color.wzyx));
}
