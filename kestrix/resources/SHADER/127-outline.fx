// Outline Source: a pixel takes the edge colour (ColThresh.rgb) by how much
// its left and right (and its upper and lower) neighbours differ from it in
// opposite ways, scaled by ColThresh.w. Alpha is mixed with the colour.
float4x4 matWVP;
float4 PixDist;
float4 ColThresh;
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Centre : TEXCOORD0;
  float2 Left : TEXCOORD1;
  float2 Right : TEXCOORD2;
  float2 Up : TEXCOORD3;
  float2 Down : TEXCOORD4;
};

VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos, 1), matWVP);
  o.Centre = tex;
  o.Left = tex - float2(PixDist.x, 0);
  o.Right = tex + float2(PixDist.x, 0);
  o.Up = tex - float2(0, PixDist.y);
  o.Down = tex + float2(0, PixDist.y);
  return o;
}

float4 ps_main(float2 centre : TEXCOORD0, float2 left : TEXCOORD1, float2 right : TEXCOORD2,
               float2 up : TEXCOORD3, float2 down : TEXCOORD4) : COLOR0 {
  float4 c = tex2D(Source, centre);
  float3 dl = tex2D(Source, left).rgb - c.rgb;
  float3 dr = tex2D(Source, right).rgb - c.rgb;
  float3 du = tex2D(Source, up).rgb - c.rgb;
  float3 dd = tex2D(Source, down).rgb - c.rgb;
  float3 one = float3(1, 1, 1);
  float ex = abs(dot(dl, one) - dot(dr, one)) * ColThresh.w;
  float ey = abs(dot(du, one) - dot(dd, one)) * ColThresh.w;
  float w = saturate(ex) + saturate(ey);
  return lerp(c, ColThresh, w * w);
}
