// A colour key with its constants in fixed registers, set by the program
// with SetPixelShaderConstantF.
float4 KeyColor : register(c2);
float KeyDist : register(c5);
sampler2D Source : register(s0);

float4 vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0, out float2 oTex : TEXCOORD0) : POSITION {
  oTex = tex;
  return pos;
}

float4 ps_colorkey(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  if (distance(t.rgb, KeyColor.rgb) < KeyDist)
    return 0;
  return t;
}
