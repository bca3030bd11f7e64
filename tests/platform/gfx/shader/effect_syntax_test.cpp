#include "effect_syntax.h"

#include <gtest/gtest.h>

namespace gfx::shader {
namespace {

int CountLines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

TEST(EffectSyntax, StripsEffectPartsKeepingLinesAndRecordsWhatTheySaid) {
  const std::string source =
      "texture Tex < string name = \"a;b\"; >;\n"
      "float4 C : register(c3) < string UIName = \"x\"; > = {1, 0, 0, 1};\n"
      "sampler2D S : register(s2) = sampler_state {\n"
      "  Texture = <Tex>; MinFilter = Linear;\n"
      "  AddressU = Clamp; };\n"
      "matrix<float, 4, 4> M : register(vs, c10), N;\n"
      "float4 f(float4 p : POSITION) : POSITION { return p; } // register(c9)\n"
      "technique T { pass P { VertexShader = compile vs_2_0 f(); } }\n"
      "string Description = \"sampler_state\";\n";
  CleanedSource out = StripEffectSyntax(source);
  ASSERT_EQ(out.error, "");
  EXPECT_EQ(CountLines(out.text), CountLines(source));
  EXPECT_EQ(out.text.size(), source.size());
  for (const char* gone : {"texture", "register(c3)", "register(s2)", "register(vs", "sampler_state", "technique", "UIName", "string", "Tex>"})
    EXPECT_EQ(out.text.find(gone), std::string::npos) << gone << "\n" << out.text;
  for (const char* kept : {"float4 C", "= {1, 0, 0, 1};", "sampler2D S", "matrix<float, 4, 4> M", ", N;", "return p;", "// register(c9)"})
    EXPECT_NE(out.text.find(kept), std::string::npos) << kept << "\n" << out.text;

  ASSERT_EQ(out.globals.size(), 4u);  // C, S, M, N; textures and strings are not constants
  EXPECT_EQ(out.globals[0].name, "C");
  ASSERT_EQ(out.globals[0].registers.size(), 1u);
  EXPECT_EQ(out.globals[0].registers[0].set, 'c');
  EXPECT_EQ(out.globals[0].registers[0].index, 3);
  EXPECT_EQ(out.globals[1].name, "S");
  EXPECT_EQ(out.globals[1].registers[0].set, 's');
  EXPECT_EQ(out.globals[1].registers[0].index, 2);
  using State = std::pair<std::string, std::string>;
  EXPECT_EQ(out.globals[1].samplerStates,
            (std::vector<State>{{"Texture", "Tex"}, {"MinFilter", "Linear"}, {"AddressU", "Clamp"}}));
  EXPECT_EQ(out.globals[2].name, "M");
  EXPECT_EQ(out.globals[2].type, "matrix");
  EXPECT_EQ(out.globals[2].registers[0].profile, "vs");
  EXPECT_EQ(out.globals[2].registers[0].index, 10);
  EXPECT_EQ(out.globals[3].name, "N");
  EXPECT_TRUE(out.globals[3].registers.empty());
}

TEST(EffectSyntax, ReportsUnclosedBlocksWithTheirLineAndNeverReadsPastTheEnd) {
  struct Case {
    const char* source;
    int line;
  };
  for (const Case& c : {Case{"float4 a;\ntechnique T { pass P {\n", 2}, Case{"\n\nsampler s = sampler_state { A = B;", 3},
                        Case{"float4 x <", 1}, Case{"float4 c : register(q);", 1}}) {
    CleanedSource out = StripEffectSyntax(c.source);
    EXPECT_NE(out.error, "") << c.source;
    EXPECT_EQ(out.errorLine, c.line) << c.source;
  }
  for (const char* junk : {"", "technique", "{{{{", "float4", "texture t <", "#define A\\", "/* open", "\"open",
                           "float4 a : register(", "f(", "struct S {", "sampler s = sampler_state",
                           "void f() { for (", "void f() { for (int i", "void f() { for (int i = 0; i < 2; i++) ",
                           "void f() { (float[4]", "void f() { (float[4])", "void f() { (float[4])(", "float2 a[2] = {",
                           "float2 a[ = {1, 2}", "void f() { float2 a[2] = { 1, 2, 3", "void f() { for (int i) {} } i",
                           "float2 a[2] = { f(1, 2, 3, 4 };", "float2 a[2] = { 1,, 2, 3 };"})
    StripEffectSyntax(junk);  // must neither crash nor hang
}

// The text after the helpers' prelude, which ends in "#line 1".
std::string Body(const std::string& text) {
  const size_t at = text.find("#line 1\n");
  return at == std::string::npos ? text : text.substr(at + 8);
}

TEST(EffectSyntax, RewritesTheDirect3D9FormsTheFrontEndRefusesAndNothingElse) {
  struct Case {
    const char* source;
    const char* rewritten;  // expected in the result; nullptr: the text stays as it is
  };
  const Case cases[] = {
      {"static const float2 a[2] = { 1, 2, 3, 4 };", "{ {1, 2}, {3, 4} }"},
      {"float2 a[] = { 1, -2, .5, 4e-1 };", "{ {1, -2}, {.5, 4e-1} }"},
      {"float3x2 m[1] = { 1, 2, 3, 4, 5, 6 };", "{ {1, 2, 3, 4, 5, 6} }"},
      {"float2 a[2] = { x, y * 2, f(1, 2), 4 };", "{ {x, y * 2}, {f(1, 2), 4} }"},
      {"float2 a[2] = { v, w };", nullptr},           // two vectors already
      {"float2 a[] = { v, w };", nullptr},            // unknown shapes: left alone
      {"float2 a[2] = { {1, 2}, {3, 4} };", nullptr},
      {"float a[4] = { 1, 2, 3, 4 };", nullptr},
      {"void f() { float3 w[1] = { 1, 0, 0 }; }", "{ {1, 0, 0} }"},
      {"float f() { for (int i = 0; i < 2; i++) {} return i; }", "int i; for ( i = 0"},
      {"float f() { for (int i = 0, j = 1; i < 2; i++) j++; return j; }", "int i; int j; for ( i = 0, j = 1"},
      {"float f() { for (int i = 0; i < 2; i++) {} for (int i = 0; i < 3; i++) {} return i; }",
       "int i; for ( i = 0; i < 2; i++) {} for ( i = 0"},
      {"float f() { for (int i = 0; i < 2; i++) { float k = i; } return 0; }", nullptr},
      {"float f() { for (int i = 0; i < 2; i++) {} return s.i; }", nullptr},
      {"float f() { { for (int i = 0; i < 2; i++) {} } return i; }", nullptr},  // i is out of scope there too
      {"float f() { if (c) for (int i = 0; i < 2; i++) {} return i; }", nullptr},
      {"float f() { float a[4] = (float[4])v.wzyx; }", "= lv_cast_float_4(v.wzyx);"},
      {"float f() { g((float[2])(a + b), 1); }", "g(lv_cast_float_2((a + b)), 1);"},
      {"float f() { h((int[3])tex2D(s, t).rgb[0]); }", "h(lv_cast_int_3(tex2D(s, t).rgb[0]));"},
      {"static const float a[4] = (float[4])K;", "= lv_cast_float_4(K);"},
      {"float f() { return (float)v; }", nullptr},
  };
  for (const Case& c : cases) {
    const CleanedSource out = StripEffectSyntax(c.source);
    ASSERT_EQ(out.error, "") << c.source;
    if (!c.rewritten) {
      EXPECT_EQ(out.text, c.source);
      continue;
    }
    EXPECT_NE(Body(out.text).find(c.rewritten), std::string::npos) << c.source << "\n" << out.text;
    EXPECT_EQ(CountLines(Body(out.text)), CountLines(c.source)) << c.source;
  }
}

TEST(EffectSyntax, ALeadingByteOrderMarkBecomesBlanks) {
  const CleanedSource out = StripEffectSyntax("\xEF\xBB\xBF" "float4 C;\ntexture T;\n");
  EXPECT_EQ(out.error, "");
  EXPECT_EQ(out.text, "   float4 C;\n          \n");
  ASSERT_EQ(out.globals.size(), 1u);
  EXPECT_EQ(out.globals[0].name, "C");
}

}  // namespace
}  // namespace gfx::shader
