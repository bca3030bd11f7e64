// An effect file: texture, sampler_state, technique and pass.
float4x4 matWVP : WORLDVIEWPROJECTION;
texture SourceTexture < string UIName = "Source"; >;

sampler Source = sampler_state {
  Texture = <SourceTexture>;
  MinFilter = Point;
  MagFilter = Point;
  AddressU = Clamp;
  AddressV = Clamp;
};

struct VS_OUTPUT {
  float4 Pos : POSITION;
  float2 Tex : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o;
  o.Pos = mul(pos, matWVP);
  o.Tex = tex;
  return o;
}

float4 ps_main(float2 tex : TEXCOORD0) : COLOR0 {
  return tex2D(Source, tex).bgra;
}

technique Swizzle {
  pass P0 {
    VertexShader = compile vs_2_0 vs_main();
    PixelShader = compile ps_2_0 ps_main();
    ZEnable = false;
  }
}
