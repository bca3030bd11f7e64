// A vertex shader whose loop count is a constant set at run time.
int Count;
float4 Step;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
};

VS_OUTPUT vs_main(float4 pos : POSITION) {
  VS_OUTPUT o;
  o.Pos = pos;
  o.Diffuse = float4(0, 0, 0, 1);
  for (int i = 0; i < Count; i++)
    o.Diffuse.rgb += Step.rgb;
  return o;
}

float4 ps_main(float4 diffuse : COLOR0) : COLOR0 { return diffuse; }
