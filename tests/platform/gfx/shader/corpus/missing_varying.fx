// The pixel shader reads a second coordinate set and a colour that the
// vertex shader never writes.
float4 vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0, out float2 oTex : TEXCOORD0) : POSITION {
  oTex = tex;
  return pos;
}

float4 ps_main(float2 tex : TEXCOORD0, float2 unwritten : TEXCOORD1, float4 diffuse : COLOR0) : COLOR0 {
  return float4(tex.x, unwritten.x + 0.25, diffuse.g * 0.5, diffuse.a);
}
