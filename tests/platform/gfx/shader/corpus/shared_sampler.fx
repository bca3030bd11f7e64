// Both stages sample Image: the vertex stage (vertex texture fetch) takes
// its colour, the pixel stage reads a ramp first, then its own sample.
sampler2D Ramp;
sampler2D Image;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = pos;
  o.Diffuse = tex2Dlod(Image, float4(0.25, 0.25, 0, 0));
  o.Tex = tex;
  return o;
}

float4 ps_main(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Ramp, tex) * 0.25 + tex2D(Image, tex) * diffuse;
}
