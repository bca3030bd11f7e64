// Plasma Life: two chemicals in the red and green of a float field. A step
// diffuses both towards their neighbours and lets them react, the second
// stirred by noise; the show pass draws the field as red and green.
float4x4 matWVP;
float4 PixelSize;
float4 Diffusion;  // x, y: diffusion of each chemical; z: noise; w: reaction rate
float DrawScale;
sampler2D Field : register(s0);
sampler2D Noise : register(s1);

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

float4 ps_plasmalife(float2 tex : TEXCOORD0) : COLOR0 {
  float2 z = tex2D(Field, tex).rg;
  float2 w = tex2D(Field, tex - float2(PixelSize.x, 0)).rg;
  float2 e = tex2D(Field, tex + float2(PixelSize.x, 0)).rg;
  float2 s = tex2D(Field, tex + float2(0, PixelSize.y)).rg;
  float2 n = tex2D(Field, tex - float2(0, PixelSize.y)).rg;
  float noise = tex2D(Noise, tex * 4).r;
  float2 l = Diffusion.xy * (w + e + n + s - 4 * z);
  float a = Diffusion.w * (1 - z.r + z.g) + l.x;
  float b = Diffusion.w * (z.r * z.g - z.g - Diffusion.z * noise) + l.y;
  return float4(z.r + a, max(z.g + b, 0), 0, 0);
}

float4 ps_plasmashow(float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Field, tex);
  t.b = 0;
  return t * DrawScale;
}
