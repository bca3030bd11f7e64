// Chroma Key Source: the texel's alpha from how far its hue (in the Cb/Cr
// plane, turned so the key hue lies on the x axis) is from the key hue.
// Texels at or below YLimit, and colourless ones, keep their alpha.
float4x4 matWVP;
float4x4 YUVMatrix;
float4 KeyParams;  // sin h, cos h, -cos h
float4 KeyEnv;     // strength angle, 1 / falloff angle
float YLimit;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Tex = tex;
  return o;
}

float4 ps_main(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex);
  float3 yuv = mul(float4(t.rgb, 1), YUVMatrix).xyz;
  float cb = yuv.y * 2;
  float cr = yuv.z * 2;
  float x = cb * KeyParams.x + cr * KeyParams.y;
  float y = cb * KeyParams.z + cr * KeyParams.x;
  // The angle from the key hue, 0 to pi; grey has none.
  float a = abs(atan2(y, x));
  a = (a - KeyEnv.x) * KeyEnv.y;
  if (yuv.x > YLimit && abs(x) + abs(y) > 0.0001) t.a *= saturate(a);
  return saturate(t);
}
