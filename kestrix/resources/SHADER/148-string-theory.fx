// String Theory: one closed loop of string. Each vertex holds its angle
// around the loop (x) and its side across the string (y, -0.5 or 0.5); three
// sine waves over the angle and time bend the loop's radius.
float4x4 matWVP;
float4 Color;
float Width;
float Time;
float4 Center;  // xy
float Size;
float4 Params1;  // x: frequency, y: time rate, z: amplitude
float4 Params2;
float4 Params3;

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Color : COLOR0;
};

VS_OUTPUT vs_main(float4 pos : POSITION) {
  VS_OUTPUT o;
  float x = pos.x;
  float r = Size + sin(x * Params1.x + Time * Params1.y) * Params1.z +
            sin(x * Params2.x + Time * Params2.y) * Params2.z +
            sin(x * Params3.x + Time * Params3.y) * Params3.z;
  float2 p = Center.xy + float2(sin(x), cos(x)) * (r + pos.y * Width);
  o.Pos = mul(float4(p, 0.5, 1), matWVP);
  float glow = 0.6 + 0.2 * sin(x * Params1.x + Time * Params2.y) + 0.2 * sin(x * Params2.x + Time * Params1.y);
  o.Color = float4(Color.rgb, Color.a * glow);
  return o;
}

// The translucent black quad that fades the previous frame.
VS_OUTPUT vs_clear(float4 pos : POSITION) {
  VS_OUTPUT o;
  o.Pos = mul(float4(pos.xy, 0.5, 1), matWVP);
  o.Color = Color;
  return o;
}

float4 ps_main(float4 color : COLOR0) : COLOR0 { return color; }
