// Polarity: one arc of the ring set. The strip's x runs along the arc (0 to
// 0.5 covers Angles.x to Angles.y), y across it (0 inner edge, 1 outer edge)
// and z is the vertex's opacity, so the edges and ends fade.
float4x4 matWVP;
float4 Center;
float4 Color;
float4 RadiusWidth;  // x: radius of the arc's middle, y: half its width
float4 Angles;       // x: start angle, y: end angle

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Color : COLOR0;
};

VS_OUTPUT vs_main(float4 pos : POSITION) {
  VS_OUTPUT o;
  float a = Angles.x + 2 * pos.x * (Angles.y - Angles.x);
  float r = RadiusWidth.x + (pos.y - 0.5) * 2 * RadiusWidth.y;
  float2 p = float2(sin(a), cos(a)) * r + Center.xy;
  o.Pos = mul(float4(p, 0.5, 1), matWVP);
  o.Color = float4(Color.rgb, Color.a * pos.z);
  return o;
}

float4 ps_main(float4 color : COLOR0) : COLOR0 { return color; }
