// Cube Wall Source: 15 cubes a batch; each vertex's w names its cube's slot
// in the constant arrays, which turn, scale, place and colour it. The cubes
// are lit from the eye: a face turned towards it is twice as bright as one
// seen edge-on.
float4x4 View;
float4x4 ViewProj;
float4 CubeRot[15];         // (sin yaw, cos yaw, sin roll, cos roll)
float4 CubeTransScale[15];  // place in xyz, size in w
float4 CubeColor[15];
sampler2D Source : register(s0);

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
};

struct VS_PROJECTED {
  float4 Pos : POSITION;
  float4 Diffuse : COLOR0;
  float2 Tex : TEXCOORD0;
};

float Brightness(float3 normal) {
  float3 n = normalize(mul(normal, (float3x3)View));
  return 0.5 + 0.5 * dot(n, float3(0, 0, -1));
}

// Roll, then yaw.
VS_OUTPUT vs_lit(float4 pos : POSITION, float3 normal : NORMAL) {
  int slot = (int)(pos.w + 0.5);
  float4 r = CubeRot[slot];
  float4 ts = CubeTransScale[slot];
  float sy = r.x, cy = r.y, sr = r.z, cr = r.w;
  float3x3 turn = float3x3(cr * cy, -sr, cr * sy,
                           sr * cy, cr, sr * sy,
                           -sy, 0, cy);
  float3 p = mul(turn, pos.xyz * ts.w) + ts.xyz;
  VS_OUTPUT o;
  o.Pos = mul(float4(p, 1), ViewProj);
  float4 c = CubeColor[slot];
  o.Diffuse = float4(c.rgb * Brightness(mul(turn, normal)), c.a);
  return o;
}

// The source is laid across the wall through each vertex's place on the
// screen.
VS_PROJECTED vs_lit_projected(float4 pos : POSITION, float3 normal : NORMAL) {
  int slot = (int)(pos.w + 0.5);
  float4 r = CubeRot[slot];
  float4 ts = CubeTransScale[slot];
  float sy = r.x, cy = r.y, sr = r.z, cr = r.w;
  float3x3 turn = float3x3(cy * cr, -sr, cy * sr,
                           cy * sr, cr, 0,
                           -sy, 0, cy);
  float3 p = mul(turn, pos.xyz * ts.w) + float3(ts.xy, 0);
  VS_PROJECTED o;
  o.Pos = mul(float4(p, 1), ViewProj);
  o.Diffuse = CubeColor[slot] * Brightness(mul(turn, normal));
  o.Tex = o.Pos.xy / o.Pos.w * float2(0.5, -0.5) + 0.5;
  return o;
}

float4 ps_colored(float4 diffuse : COLOR0) : COLOR0 { return diffuse; }

float4 ps_textured(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex) * diffuse;
}
