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
                           "float4 a : register(", "f(", "struct S {", "sampler s = sampler_state"})
    StripEffectSyntax(junk);  // must neither crash nor hang
}

}  // namespace
}  // namespace gfx::shader
