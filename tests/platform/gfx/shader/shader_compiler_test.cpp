#include "platform/gfx/shader_compiler.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/gfx/constant_table.h"

namespace gfx {
namespace {

ShaderCompileResult Compile(std::string_view source, const std::string& entry, const std::string& profile,
                            std::vector<ShaderDefine> defines = {}, ShaderIncludeHandler* include = nullptr) {
  ShaderCompileRequest request;
  request.source = source;
  request.entryPoint = entry;
  request.profile = profile;
  request.defines = std::move(defines);
  request.include = include;
  return CompileShader(request);
}

const ShaderConstant* Find(const ShaderCode& code, std::string_view name) {
  for (const ShaderConstant& c : code.constants)
    if (c.name == name) return &c;
  return nullptr;
}

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// The shape of the library's effect shaders: effect-file syntax around a
// source quad with a colour key.
constexpr std::string_view kEffectStyle = R"(
float4x4 matWVP : WORLDVIEWPROJECTION;
float4 Color <string UIName = "Colour";> = {1, 1, 1, 1};
float4 KeyColor : register(c8);
float KeyDist;
texture SourceTex < string ResourceName = "a.bmp"; >;
sampler2D Source = sampler_state { Texture = <SourceTex>; MinFilter = Point; MagFilter = Point; AddressU = Clamp; };
struct VS_OUTPUT { float4 Pos : POSITION; float4 Diffuse : COLOR0; float2 Tex : TEXCOORD0; };
VS_OUTPUT vs_main(float3 pos : POSITION, float2 tex : TEXCOORD0) {
  VS_OUTPUT o; o.Pos = mul(float4(pos, 1), matWVP); o.Diffuse = Color; o.Tex = tex; return o; }
float4 ps_passthrough(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 { return tex2D(Source, tex) * diffuse; }
float4 ps_colorkey(float4 diffuse : COLOR0, float2 tex : TEXCOORD0) : COLOR0 {
  float4 t = tex2D(Source, tex); if (distance(t.rgb, KeyColor.rgb) < KeyDist) t.a = 0; return t * diffuse; }
technique T0 { pass P0 { VertexShader = compile vs_2_0 vs_main(); PixelShader = compile ps_2_0 ps_passthrough(); } }
)";

TEST(ShaderCompiler, EffectStyleTextGivesBothStagesWithDeclarationOrderRegisters) {
  ShaderCompileResult vs = Compile(kEffectStyle, "vs_main", "vs_3_0");
  ASSERT_TRUE(vs.code) << vs.messages;
  EXPECT_EQ(vs.messages, "");
  ASSERT_TRUE(vs.constantTable);
  const ShaderCode& v = *vs.code;
  EXPECT_EQ(v.stage, ShaderStage::Vertex);
  EXPECT_EQ(v.entryPoint, "vs_main");
  EXPECT_EQ(v.profile, "vs_3_0");

  // Declaration order, and only what the entry reads, as with the Direct3D 9
  // compiler: the colour key's constants and the sampler are the pixel
  // stage's.
  std::vector<std::string> names;
  for (const ShaderConstant& c : v.constants) names.push_back(c.name);
  EXPECT_EQ(names, (std::vector<std::string>{"matWVP", "Color"}));
  struct Expected {
    const char* name;
    int reg, count;
    ConstantClass cls;
  };
  for (const Expected& e : {Expected{"matWVP", 0, 4, ConstantClass::MatrixColumns},
                            Expected{"Color", 4, 1, ConstantClass::Vector}}) {
    const ShaderConstant* c = Find(v, e.name);
    ASSERT_TRUE(c) << e.name;
    EXPECT_EQ(c->registerIndex, e.reg) << e.name;
    EXPECT_EQ(c->registerCount, e.count) << e.name;
    EXPECT_EQ(c->cls, e.cls) << e.name;
  }
  EXPECT_EQ(v.uniformBlock, "VertexConstants");
  EXPECT_EQ(v.uniformBinding, 0);
  EXPECT_GE(v.uniformBlockSize, 100u);
  EXPECT_TRUE(Contains(v.glsl, "#version 450"));
  EXPECT_TRUE(Contains(v.glsl, "uniform VertexConstants"));
  EXPECT_TRUE(Contains(v.glsl, "gl_Position ="));
  EXPECT_TRUE(Contains(v.glsl, "gl_Position.xy += lv_PixelFix * gl_Position.w;"));
  EXPECT_TRUE(Contains(v.glsl, "uniform vec2 lv_PixelFix;"));
  EXPECT_EQ(v.pixelFixUniform, "lv_PixelFix");
  ASSERT_EQ(v.inputs.size(), 2u);
  EXPECT_EQ(v.inputs[0].semantic, "POSITION");
  EXPECT_EQ(v.inputs[1].semantic, "TEXCOORD");
  EXPECT_NE(v.inputs[0].location, v.inputs[1].location);

  ShaderCompileResult ps = Compile(kEffectStyle, "ps_colorkey", "ps_2_0");
  ASSERT_TRUE(ps.code) << ps.messages;
  EXPECT_EQ(ps.code->stage, ShaderStage::Pixel);
  EXPECT_EQ(ps.code->uniformBlock, "PixelConstants");
  EXPECT_EQ(ps.code->uniformBinding, 1);
  // KeyColor keeps its c8; KeyDist takes the first register free, as the
  // stage reads neither matWVP nor Color.
  ASSERT_TRUE(Find(*ps.code, "KeyColor"));
  ASSERT_TRUE(Find(*ps.code, "KeyDist"));
  EXPECT_EQ(Find(*ps.code, "KeyColor")->registerIndex, 8);
  EXPECT_EQ(Find(*ps.code, "KeyDist")->registerIndex, 0);
  EXPECT_FALSE(Find(*ps.code, "matWVP"));
  EXPECT_FALSE(Find(*ps.code, "Color"));
  const ShaderConstant* source = Find(*ps.code, "Source");
  ASSERT_TRUE(source);
  EXPECT_EQ(source->registerIndex, 0);
  EXPECT_EQ(source->cls, ConstantClass::Object);
  EXPECT_EQ(source->type, ConstantType::Sampler2D);
  using State = std::pair<std::string, std::string>;
  EXPECT_EQ(source->samplerStates, (std::vector<State>{{"Texture", "SourceTex"}, {"MinFilter", "Point"},
                                                        {"MagFilter", "Point"}, {"AddressU", "Clamp"}}));
  EXPECT_TRUE(Contains(ps.code->glsl, "layout(location = 0) out vec4 out_COLOR0;"));
  EXPECT_TRUE(ps.code->pixelFixUniform.empty());
}

// Constructs the library's shader texts use; each must compile.
TEST(ShaderCompiler, CompilesTheConstructsTheShaderTextsUse) {
  struct Case {
    const char* what;
    const char* profile;
    const char* entry;
    const char* source;
  };
  const Case cases[] = {
      {"tex2Dlod, tex2Dbias and tex2Dproj", "ps_3_0", "ps_main",
       "sampler2D S; float4 ps_main(float4 t : TEXCOORD0) : COLOR {"
       " return tex2Dlod(S, t) + tex2Dbias(S, t) + tex2Dproj(S, t); }"},
      {"plain sampler with tex2D, seven taps", "ps_2_0", "ps_main",
       "sampler S : register(s0); float2 PixelSize;"
       "float4 ps_main(float2 t : TEXCOORD0) : COLOR0 { float4 s = 0;"
       " for (int i = -3; i <= 3; i++) s += tex2D(S, t + i * PixelSize); return s * (1.0 / 7); }"},
      {"three coordinate sets and three samplers", "ps_2_0", "ps_Dissolve",
       "sampler2D Src : register(s0); sampler2D Frame : register(s1); sampler2D Noise : register(s2); float Opacity;"
       "struct PS_IN { float2 t0 : TEXCOORD0; float2 t1 : TEXCOORD1; float2 t2 : TEXCOORD2; };"
       "float4 ps_Dissolve(PS_IN i) : COLOR0 { float4 s = tex2D(Src, i.t0); float4 f = tex2D(Frame, i.t1);"
       " float n = (tex2D(Noise, i.t2).r + tex2D(Noise, i.t2 / 2).r + tex2D(Noise, i.t2 / 4).r) * 0.33333;"
       " return (s.a * Opacity >= n) ? s : f; }"},
      {"sin and cos, pow of abs in the vertex shader", "vs_2_0", "vs_main",
       "float4x4 matWVP; float aN, bN, aM;"
       "float4 vs_main(float3 p : POSITION0, float3 q : POSITION1, out float2 t : TEXCOORD0) : POSITION {"
       " float r = pow(abs(cos(aM * p.x / 4) / aN), bN) + pow(abs(sin(aM * q.y)), bN); t = p.xy;"
       " return mul(float4(p * r, 1), matWVP); }"},
      {"constant arrays indexed by a vertex value", "vs_3_0", "vs_lit",
       "float4x4 ViewProj; float4 CubeRot[15]; float4 CubeTransScale[15]; float4 CubeColor[15];"
       "struct VS_OUT { float4 pos : POSITION; float4 col : COLOR0; };"
       "VS_OUT vs_lit(float4 p : POSITION, float3 n : NORMAL) { VS_OUT o; int i = (int)p.w;"
       " float3 w = p.xyz * CubeTransScale[i].w + CubeTransScale[i].xyz + CubeRot[i].xyz;"
       " o.pos = mul(float4(w, 1), ViewProj); o.col = CubeColor[i] * saturate(dot(n, float3(0, 0, -1))); return o; }"},
      {"vertex colour and short positions", "vs_2_0", "vs_main",
       "float4x4 matWVP; float4 vs_main(float4 p : POSITION, float4 c : COLOR0, out float4 oc : COLOR0) : POSITION {"
       " oc = c; return mul(p, matWVP); }"},
      {"bool and int globals", "vs_3_0", "vs_main",
       "bool Shiny; int Count; float4 vs_main(float4 p : POSITION) : POSITION {"
       " if (Shiny) p.x += Count; return p; }"},
      {"two render targets and depth", "ps_3_0", "ps_main",
       "struct PS_OUT { float4 c1 : COLOR1; float4 c0 : COLOR0; float d : DEPTH; };"
       "PS_OUT ps_main(float4 c : COLOR0) { PS_OUT o; o.c0 = c; o.c1 = 1 - c; o.d = 0.5; return o; }"},
      {"point size output", "vs_2_0", "vs_main",
       "float4 vs_main(float4 p : POSITION, out float s : PSIZE) : POSITION { s = 1; return p; }"},
      {"row_major and column_major qualifiers and a float3x3 cast", "vs_2_0", "vs_main",
       "row_major float4x4 R; column_major float4x3 C; float3x3 N;"
       "float4 vs_main(float4 p : POSITION, float3 n : NORMAL, out float3 on : TEXCOORD0) : POSITION {"
       " on = mul(n, (float3x3)R) + mul(p, C) + mul(n, N); return mul(p, R); }"},
      {"static const tables and half", "ps_2_0", "ps_main",
       "static const float3 W[2] = { float3(0.299, 0.587, 0.114), float3(1, 1, 1) };"
       "half4 ps_main(float4 c : COLOR0) : COLOR { return half4(dot(c.rgb, W[0]).xxx, 1); }"},
  };
  for (const Case& c : cases) {
    ShaderCompileResult r = Compile(c.source, c.entry, c.profile);
    EXPECT_TRUE(r.code) << c.what << "\n" << r.messages;
  }
}

TEST(ShaderCompiler, ReflectsMatrixArrayAndScalarShapesInDirect3DRegisters) {
  constexpr std::string_view source =
      "float4x4 M44; float4x3 M43; float3x4 M34; row_major float4x3 R43; float3x3 M33;"
      "float A[3]; float2 V2[2]; float4x4 MA[2]; bool B; bool2 B2; int I; uint U;"
      "float4 vs_main(float4 p : POSITION) : POSITION {"
      " return mul(p, M44) + mul(p, M43).xyzz + mul(p.xyz, M34) + mul(p, R43).xyzz + mul(p.xyz, M33).xyzz"
      " + A[2] + V2[1].xyxy + mul(p, MA[1]) + (B ? 1 : 0) + (B2.y ? I : U); }";
  ShaderCompileResult r = Compile(source, "vs_main", "vs_3_0");
  ASSERT_TRUE(r.code) << r.messages;
  struct Expected {
    const char* name;
    ConstantClass cls;
    ConstantType type;
    int rows, columns, elements, reg, count;
    bool rowMajor;
  };
  const Expected expected[] = {
      {"M44", ConstantClass::MatrixColumns, ConstantType::Float, 4, 4, 1, 0, 4, true},
      {"M43", ConstantClass::MatrixColumns, ConstantType::Float, 4, 3, 1, 4, 3, true},
      {"M34", ConstantClass::MatrixColumns, ConstantType::Float, 3, 4, 1, 7, 4, true},
      {"R43", ConstantClass::MatrixRows, ConstantType::Float, 4, 3, 1, 11, 4, false},
      {"M33", ConstantClass::MatrixColumns, ConstantType::Float, 3, 3, 1, 15, 3, true},
      {"A", ConstantClass::Scalar, ConstantType::Float, 1, 1, 3, 18, 3, false},
      {"V2", ConstantClass::Vector, ConstantType::Float, 1, 2, 2, 21, 2, false},
      {"MA", ConstantClass::MatrixColumns, ConstantType::Float, 4, 4, 2, 23, 8, true},
      {"B", ConstantClass::Scalar, ConstantType::Bool, 1, 1, 1, 31, 1, false},
      {"B2", ConstantClass::Vector, ConstantType::Bool, 1, 2, 1, 32, 1, false},
      {"I", ConstantClass::Scalar, ConstantType::Int, 1, 1, 1, 33, 1, false},
      {"U", ConstantClass::Scalar, ConstantType::Int, 1, 1, 1, 34, 1, false},
  };
  ASSERT_EQ(r.code->constants.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Expected& e = expected[i];
    const ShaderConstant& c = r.code->constants[i];
    EXPECT_EQ(c.name, e.name);
    EXPECT_EQ(c.cls, e.cls) << e.name;
    EXPECT_EQ(c.type, e.type) << e.name;
    EXPECT_EQ(c.rows, e.rows) << e.name;
    EXPECT_EQ(c.columns, e.columns) << e.name;
    EXPECT_EQ(c.elements, e.elements) << e.name;
    EXPECT_EQ(c.registerIndex, e.reg) << e.name;
    EXPECT_EQ(c.registerCount, e.count) << e.name;
    EXPECT_EQ(c.rowMajor, e.rowMajor) << e.name;
    if (c.cls == ConstantClass::MatrixRows || c.cls == ConstantClass::MatrixColumns) {
      EXPECT_EQ(c.matrixStride, 16u);
    }
    if (c.elements > 1) {
      EXPECT_EQ(c.arrayStride, c.cls == ConstantClass::MatrixColumns ? 64u : 16u) << e.name;
    }
    EXPECT_LE(c.blockOffset + 4, r.code->uniformBlockSize) << e.name;
  }
}

TEST(ShaderCompiler, ExplicitRegistersAreKeptAndTheRestFillTheGaps) {
  constexpr std::string_view source =
      "float4 A : register(c2); float4x4 M; float4 B; float4 V : register(vs, c20) : register(ps, c1);"
      "sampler2D S1 : register(s1); sampler2D S0; sampler2D S2;"
      "float4 vs_main(float4 p : POSITION) : POSITION { return mul(p, M) * A * B * V; }"
      "float4 ps_main(float2 t : TEXCOORD0) : COLOR { return tex2D(S0, t) * tex2D(S1, t) * tex2D(S2, t) * V * A; }";
  ShaderCompileResult vs = Compile(source, "vs_main", "vs_2_0");
  ASSERT_TRUE(vs.code) << vs.messages;
  const std::map<std::string, int> vsRegisters = {{"A", 2}, {"M", 3}, {"B", 0}, {"V", 20}};
  for (const auto& [name, reg] : vsRegisters) EXPECT_EQ(Find(*vs.code, name)->registerIndex, reg) << name;
  EXPECT_FALSE(Find(*vs.code, "S0"));  // samplers the stage does not read
  ShaderCompileResult ps = Compile(source, "ps_main", "ps_2_0");
  ASSERT_TRUE(ps.code) << ps.messages;
  ASSERT_TRUE(Find(*ps.code, "V"));
  EXPECT_EQ(Find(*ps.code, "V")->registerIndex, 1);
  EXPECT_EQ(Find(*ps.code, "A")->registerIndex, 2);
  EXPECT_FALSE(Find(*ps.code, "B"));  // the pixel entry reads neither
  EXPECT_FALSE(Find(*ps.code, "M"));
  for (const auto& [name, reg] : std::map<std::string, int>{{"S1", 1}, {"S0", 0}, {"S2", 2}})
    EXPECT_EQ(Find(*ps.code, name)->registerIndex, reg) << name;
  EXPECT_TRUE(Contains(ps.code->glsl, "layout(binding = 1) uniform sampler2D lv_psampler_S1;"));
  EXPECT_TRUE(Contains(ps.code->glsl, "layout(binding = 2) uniform sampler2D lv_psampler_S2;"));

  struct Bad {
    const char* source;
    const char* message;
  };
  for (const Bad& b : {Bad{"float4 A : register(c1); float4 B : register(c1);", "already used by 'A'"},
                       Bad{"float4x4 M : register(c254);", "out of range"},
                       Bad{"sampler2D S : register(s16);", "out of range"},
                       Bad{"sampler2D S : register(s3); sampler2D T : register(s3);", "already used"}}) {
    std::string text = std::string(b.source) + "float4 vs_main(float4 p : POSITION) : POSITION { return p; }";
    ShaderCompileResult r = Compile(text, "vs_main", "vs_3_0");
    EXPECT_FALSE(r.code) << b.source;
    EXPECT_TRUE(Contains(r.messages, b.message)) << b.source << "\n" << r.messages;
  }
}

// An entry reads a global when its code, or a function it calls, does; a
// global read only by another entry takes no register and is not in the
// table. A binding written in the text still holds its register, so a
// constant keeps the register it has in the entries that read everything
// before it.
TEST(ShaderCompiler, EachEntryHasRegistersOnlyForTheGlobalsItReads) {
  constexpr std::string_view source =
      "float4 First; float4 Second; float4 Bound : register(c1); float4x4 VsOnly; float4 Other;"
      "struct L { float4 a; float4 b; }; L Light; sampler2D Tex; sampler2D OtherTex;"
      "float4 Inner() { return Second; }"
      "float4 Outer() { return Inner() * 2; }"
      "float4 vs_main(float4 p : POSITION) : POSITION { return mul(p, VsOnly) + First + Bound; }"
      "float4 ps_main(float2 t : TEXCOORD0) : COLOR0 { return First + Outer() + Light.b + tex2D(Tex, t); }"
      "float4 ps_other(float2 t : TEXCOORD0) : COLOR0 { return Other + tex2D(OtherTex, t); }";
  using Table = std::vector<std::pair<std::string, int>>;  // name, register, in the table's order
  struct Case {
    const char* entry;
    const char* profile;
    Table table;
  };
  const Case cases[] = {
      {"vs_main", "vs_3_0", {{"First", 0}, {"Bound", 1}, {"VsOnly", 2}}},
      {"ps_main", "ps_3_0", {{"First", 0}, {"Second", 2}, {"Light.a", 3}, {"Light.b", 4}, {"Tex", 0}}},
      {"ps_other", "ps_3_0", {{"Other", 0}, {"OtherTex", 0}}},
  };
  for (const Case& c : cases) {
    ShaderCompileResult r = Compile(source, c.entry, c.profile);
    ASSERT_TRUE(r.code) << c.entry << "\n" << r.messages;
    Table table;
    for (const ShaderConstant& constant : r.code->constants) table.emplace_back(constant.name, constant.registerIndex);
    EXPECT_EQ(table, c.table) << c.entry;
  }
}

TEST(ShaderCompiler, StructGlobalsAppearAsTheirMembersInOneRunOfRegisters) {
  ShaderCompileResult r = Compile(
      "struct L { float4 a; float4x4 m; float b; }; L light : register(c10); L arr[2];"
      "float4 vs_main(float4 p : POSITION) : POSITION { return mul(p, light.m) * light.a * light.b + arr[1].a; }",
      "vs_main", "vs_3_0");
  ASSERT_TRUE(r.code) << r.messages;
  const std::map<std::string, int> registers = {{"light.a", 10}, {"light.m", 11}, {"light.b", 15},
                                                {"arr[0].a", 16}, {"arr[1].a", 22}, {"arr[1].b", 27}};
  for (const auto& [name, reg] : registers) {
    ASSERT_TRUE(Find(*r.code, name)) << name;
    EXPECT_EQ(Find(*r.code, name)->registerIndex, reg) << name;
  }
  EXPECT_EQ(Find(*r.code, "light.m")->cls, ConstantClass::MatrixColumns);
  EXPECT_EQ(Find(*r.code, "arr[1].m")->blockOffset, Find(*r.code, "arr[1].a")->blockOffset + 16);
}

TEST(ShaderCompiler, VaryingsAreNamedAndLocatedBySemanticWhateverTheirOrderOrWidth) {
  constexpr std::string_view source =
      "struct VS_OUT { float4 pos : POSITION; float2 uv : TEXCOORD1; float4 col : COLOR0; float f : FOG; };"
      "VS_OUT vs_main(float4 p : POSITION) { VS_OUT o; o.pos = p; o.uv = p.xy; o.col = p; o.f = p.z; return o; }"
      "float4 ps_main(float4 col : COLOR0, float4 uv : TEXCOORD1) : COLOR0 { return col * uv; }";
  ShaderCompileResult vs = Compile(source, "vs_main", "vs_3_0");
  ShaderCompileResult ps = Compile(source, "ps_main", "ps_3_0");
  ASSERT_TRUE(vs.code) << vs.messages;
  ASSERT_TRUE(ps.code) << ps.messages;
  auto location = [](const ShaderCode& code, const std::string& semantic, int index) {
    for (const StageVarying& v : code.varyings)
      if (v.semantic == semantic && v.semanticIndex == index) return v.location;
    return -1;
  };
  EXPECT_EQ(vs.code->varyings.size(), 3u);  // the position is not a varying
  EXPECT_EQ(ps.code->varyings.size(), 2u);
  for (auto [semantic, index] : {std::pair{"TEXCOORD", 1}, std::pair{"COLOR", 0}}) {
    EXPECT_GE(location(*vs.code, semantic, index), 0);
    EXPECT_EQ(location(*vs.code, semantic, index), location(*ps.code, semantic, index)) << semantic;
    std::string declaration = "layout(location = " + std::to_string(location(*vs.code, semantic, index)) +
                              ") out vec4 vary_" + semantic + std::to_string(index) + ";";
    EXPECT_TRUE(Contains(vs.code->glsl, declaration)) << declaration << "\n" << vs.code->glsl;
  }
  EXPECT_TRUE(Contains(vs.code->glsl, "vary_TEXCOORD1 = vec4(lv_TEXCOORD1, 0.0, 1.0);"));
  EXPECT_TRUE(Contains(vs.code->glsl, "vary_FOG0 = vec4(lv_FOG0, 0.0, 0.0, 1.0);"));
  EXPECT_TRUE(Contains(ps.code->glsl, "in vec4 vary_TEXCOORD1;"));

  // COLOR1 declared first still goes to output location 1.
  ShaderCompileResult mrt = Compile(
      "struct O { float4 c1 : COLOR1; float4 c0 : COLOR0; }; O ps_main(float4 c : COLOR0) { O o; o.c0 = c; o.c1 = c; return o; }",
      "ps_main", "ps_3_0");
  ASSERT_TRUE(mrt.code) << mrt.messages;
  EXPECT_TRUE(Contains(mrt.code->glsl, "layout(location = 1) out vec4 out_COLOR1;"));
  EXPECT_TRUE(Contains(mrt.code->glsl, "layout(location = 0) out vec4 out_COLOR0;"));
}

class MapIncludes : public ShaderIncludeHandler {
 public:
  std::map<std::string, std::string> files;
  std::vector<std::string> opened;
  std::optional<std::string> Open(std::string_view name, bool) override {
    opened.emplace_back(name);
    auto it = files.find(std::string(name));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
};

TEST(ShaderCompiler, DefinesAndIncludesReachTheText) {
  MapIncludes includes;
  includes.files["common.fxh"] =
      "float4 Tint : register(c7) < string UIName = \"t\"; >;\n"
      "float4 Scale(float4 v) { return v * SCALE; }\n";
  constexpr std::string_view source =
      "#include \"common.fxh\"\n"
      "float4 Color;\n"
      "float4 vs_main(float4 p : POSITION) : POSITION {\n"
      "#ifdef USE_TINT\n  return Scale(p) * Tint * Color;\n#else\n  return p;\n#endif\n}\n";
  ShaderCompileResult r = Compile(source, "vs_main", "vs_3_0", {{"SCALE", "2.0"}, {"USE_TINT", ""}}, &includes);
  ASSERT_TRUE(r.code) << r.messages;
  EXPECT_EQ(includes.opened, std::vector<std::string>{"common.fxh"});
  EXPECT_EQ(Find(*r.code, "Tint")->registerIndex, 7);
  EXPECT_EQ(Find(*r.code, "Color")->registerIndex, 0);

  ShaderCompileResult missing = Compile("#include \"nowhere.fxh\"\nfloat4 vs_main(float4 p : POSITION) : POSITION { return p; }",
                                        "vs_main", "vs_3_0", {}, &includes);
  EXPECT_FALSE(missing.code);
  EXPECT_TRUE(Contains(missing.messages, "nowhere.fxh")) << missing.messages;
  ShaderCompileResult noHandler = Compile("#include \"common.fxh\"\nfloat4 vs_main(float4 p : POSITION) : POSITION { return p; }",
                                          "vs_main", "vs_3_0");
  EXPECT_FALSE(noHandler.code);
}

// The rewritten forms bring helpers ahead of the text; messages keep the
// lines as written, and a helper needed by the text and an included file is
// made once.
TEST(ShaderCompiler, RewrittenFormsKeepTheLinesOfTheTextAndItsIncludes) {
  MapIncludes includes;
  includes.files["parts.fxh"] = "float First(float4 v) { float p[4] = (float[4])v; return p[0]; }\n";
  const std::string source =
      "\xEF\xBB\xBF#include \"parts.fxh\"\n"
      "float4 Color;\n"
      "float4 ps_main() : COLOR0 {\n"
      "  float p[4] = (float[4])Color;\n"
      "  for (int i = 0; i < 2; i++) p[i] += First(Color);\n"
      "  return p[i] LINE6;\n"
      "}\n";
  ShaderCompileResult good = Compile(source, "ps_main", "ps_2_0", {{"LINE6", ""}}, &includes);
  EXPECT_TRUE(good.code) << good.messages;
  EXPECT_EQ(good.messages, "");
  ShaderCompileResult bad = Compile(source, "ps_main", "ps_2_0", {{"LINE6", "+ undefinedThing"}}, &includes);
  EXPECT_FALSE(bad.code);
  EXPECT_TRUE(Contains(bad.messages, "shader(6): error:")) << bad.messages;
}

TEST(ShaderCompiler, ErrorsGiveNoShaderAndTheLineWarningsStillGiveAShader) {
  ShaderCompileResult error = Compile(
      "float4 Color;\n\nfloat4 ps_main(float2 t : TEXCOORD0) : COLOR0 { return Color * undefinedThing; }\n", "ps_main",
      "ps_2_0");
  EXPECT_FALSE(error.code);
  EXPECT_FALSE(error.constantTable);
  EXPECT_TRUE(Contains(error.messages, "shader(3): error:")) << error.messages;
  EXPECT_TRUE(Contains(error.messages, "undefinedThing")) << error.messages;

  ShaderCompileResult warning = Compile(
      "float4 Color;\n[somehint] float4 ps_main(float2 t : TEXCOORD0) : COLOR0 { return Color; }\n", "ps_main", "ps_2_0");
  ASSERT_TRUE(warning.code) << warning.messages;
  EXPECT_TRUE(warning.constantTable);
  EXPECT_TRUE(Contains(warning.messages, "shader(2): warning:")) << warning.messages;
  EXPECT_FALSE(Contains(warning.messages, "error")) << warning.messages;

  struct Bad {
    const char* source;
    const char* entry;
    const char* profile;
    const char* message;
  };
  const char* ok = "float4 vs_main(float4 p : POSITION) : POSITION { return p; }";
  for (const Bad& b : {Bad{ok, "vs_missing", "vs_3_0", "error"}, Bad{ok, "vs_main", "vs_9_9", "invalid profile"},
                       Bad{ok, "vs_main", "", "invalid profile"},
                       Bad{ok, "vs_main", "vs_4_0", "profile 'vs_4_0' is Shader Model 4 or later"},
                       Bad{ok, "vs_main", "vs_4_0_level_9_3", "Shader Model 4 or later"},
                       Bad{ok, "vs_main", "ps_5_0", "Shader Model 4 or later"}, Bad{ok, "", "vs_3_0", "no entry point"},
                       Bad{"float4 a;\ntechnique T { pass P {", "vs_main", "vs_3_0", "shader(2): error"},
                       Bad{"float4 vs_main(float4 p : POSITION) : BLENDWEIGHT7 { return p; }", "vs_main", "vs_3_0",
                           "not supported"},
                       Bad{"", "vs_main", "vs_3_0", "error"}}) {
    ShaderCompileResult r = Compile(b.source, b.entry, b.profile);
    EXPECT_FALSE(r.code) << b.source << " / " << b.entry << " / " << b.profile;
    EXPECT_TRUE(Contains(r.messages, b.message)) << r.messages;
  }
}

TEST(ShaderCompiler, ASecondCompileGivesTheSameResult) {
  ShaderCompileResult first = Compile(kEffectStyle, "ps_colorkey", "ps_3_0");
  ShaderCompileResult second = Compile(kEffectStyle, "ps_colorkey", "ps_3_0");
  ASSERT_TRUE(first.code && second.code);
  EXPECT_EQ(first.code->glsl, second.code->glsl);
  ASSERT_EQ(first.code->constants.size(), second.code->constants.size());
  for (size_t i = 0; i < first.code->constants.size(); ++i) {
    EXPECT_EQ(first.code->constants[i].name, second.code->constants[i].name);
    EXPECT_EQ(first.code->constants[i].registerIndex, second.code->constants[i].registerIndex);
    EXPECT_EQ(first.code->constants[i].blockOffset, second.code->constants[i].blockOffset);
  }
  EXPECT_NE(first.code, second.code);
}

TEST(ShaderCompiler, MatrixPackingFlagsChangeTheDefault) {
  constexpr std::string_view source = "float4x4 M; float4 vs_main(float4 p : POSITION) : POSITION { return mul(p, M); }";
  ShaderCompileRequest request;
  request.source = source;
  request.entryPoint = "vs_main";
  request.profile = "vs_3_0";
  request.flags = kShaderPackMatrixRowMajor;
  ShaderCompileResult r = CompileShader(request);
  ASSERT_TRUE(r.code) << r.messages;
  EXPECT_EQ(r.code->constants[0].cls, ConstantClass::MatrixRows);
}

}  // namespace
}  // namespace gfx
