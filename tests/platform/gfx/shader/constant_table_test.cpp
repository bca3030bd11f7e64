#include "platform/gfx/constant_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "platform/gfx/shader_compiler.h"

namespace gfx {
namespace {

// The device's register files, as a test double of the sink.
class RegisterFiles : public ConstantSink {
 public:
  RegisterFiles() {
    vertex.fill(-99.0f);
    pixel.fill(-99.0f);
  }
  void SetShaderConstantF(ShaderStage stage, int start, const float* data, int count4) override {
    auto& file = stage == ShaderStage::Vertex ? vertex : pixel;
    ASSERT_GE(start, 0);
    ASSERT_LE((start + count4) * 4, static_cast<int>(file.size()));
    std::memcpy(file.data() + start * 4, data, count4 * 16);
    ++writes;
  }
  const float* Reg(ShaderStage stage, int r) const { return (stage == ShaderStage::Vertex ? vertex : pixel).data() + r * 4; }

  std::array<float, kVertexConstantRegisters * 4> vertex;
  std::array<float, kVertexConstantRegisters * 4> pixel;
  int writes = 0;
};

ShaderCompileResult Compile(std::string_view source, const char* entry, const char* profile) {
  ShaderCompileRequest request;
  request.source = source;
  request.entryPoint = entry;
  request.profile = profile;
  ShaderCompileResult r = CompileShader(request);
  EXPECT_TRUE(r.code) << r.messages;
  return r;
}

std::vector<uint8_t> Block(const ShaderCode& code, const RegisterFiles& files) {
  std::vector<uint8_t> block(code.uniformBlockSize, 0xEE);
  FillUniformBlock(code, files.Reg(code.stage, 0), kVertexConstantRegisters, block.data());
  return block;
}

float FloatAt(const std::vector<uint8_t>& block, uint32_t offset) {
  float f;
  std::memcpy(&f, block.data() + offset, 4);
  return f;
}

// What the translated GLSL computes for HLSL's mul(v, M): G * v, with G read
// from the block as the member's layout says (G is the HLSL matrix seen from
// GLSL: SPIR-V columns = HLSL rows).
std::vector<float> GlslMul(const ShaderConstant& c, const std::vector<uint8_t>& block, const float* v) {
  const int glslColumns = c.rows, glslRows = c.columns;
  std::vector<float> out(glslRows, 0.0f);
  for (int r = 0; r < glslRows; ++r)
    for (int col = 0; col < glslColumns; ++col) {
      uint32_t at = c.rowMajor ? c.blockOffset + r * c.matrixStride + col * 4 : c.blockOffset + col * c.matrixStride + r * 4;
      out[r] += FloatAt(block, at) * v[col];
    }
  return out;
}

// The maths library's row-vector product v * M of a 4x4 row-major matrix.
std::vector<float> RowVectorTimes(const float* v, const float* m, int columns) {
  std::vector<float> out(columns, 0.0f);
  for (int c = 0; c < columns; ++c)
    for (int r = 0; r < 4; ++r) out[c] += v[r] * m[r * 4 + c];
  return out;
}

TEST(ConstantTable, SetMatrixThenFillMakesTheShaderComputeWhatTheMathsLibraryDoes) {
  constexpr std::string_view source =
      "float4x4 C44; row_major float4x4 R44; float4x3 C43; row_major float4x3 R43;"
      "float4 vs_main(float4 p : POSITION) : POSITION { return mul(p, C44) + mul(p, R44) + (mul(p, C43) + mul(p, R43)).xyzz; }";
  ShaderCompileResult r = Compile(source, "vs_main", "vs_3_0");
  ASSERT_TRUE(r.code);
  // A translation by (1, 2, 3) with some rotation and scale in it.
  const float m[16] = {0, 2, 0, 0, -3, 0, 0, 0, 0, 0, 4, 0, 1, 2, 3, 1};
  const float v[4] = {0.5f, -1.5f, 2.0f, 1.0f};
  RegisterFiles files;
  for (const char* name : {"C44", "R44", "C43", "R43"})
    ASSERT_TRUE(r.constantTable->SetMatrix(files, r.constantTable->GetConstantByName(name), m)) << name;
  std::vector<uint8_t> block = Block(*r.code, files);
  for (const char* name : {"C44", "R44", "C43", "R43"}) {
    const ShaderConstant& c = *r.constantTable->GetConstantDesc(r.constantTable->GetConstantByName(name));
    EXPECT_EQ(GlslMul(c, block, v), RowVectorTimes(v, m, c.columns)) << name;
  }
  // The registers themselves as Direct3D 9 holds them: column k of a
  // column_major matrix, row k of a row_major one.
  const ShaderConstant& c44 = *r.constantTable->GetConstantDesc(r.constantTable->GetConstantByName("C44"));
  const ShaderConstant& r44 = *r.constantTable->GetConstantDesc(r.constantTable->GetConstantByName("R44"));
  const float* translationColumn = files.Reg(ShaderStage::Vertex, c44.registerIndex + 0);
  EXPECT_EQ(std::vector<float>(translationColumn, translationColumn + 4), (std::vector<float>{0, -3, 0, 1}));
  const float* lastRow = files.Reg(ShaderStage::Vertex, r44.registerIndex + 3);
  EXPECT_EQ(std::vector<float>(lastRow, lastRow + 4), (std::vector<float>{1, 2, 3, 1}));
}

TEST(ConstantTable, VectorsScalarsArraysBoolsAndIntsLandInTheirRegistersAndBlockSlots) {
  constexpr std::string_view source =
      "float4 Color; float KeyDist; float A[3]; float4 V[2]; bool On; int Count; float2 PixelSize;"
      "float4 ps_main(float2 t : TEXCOORD0) : COLOR0 {"
      " return Color * KeyDist * A[1] * V[1] * (On ? Count : 0) + PixelSize.xyxy; }";
  ShaderCompileResult r = Compile(source, "ps_main", "ps_3_0");
  ASSERT_TRUE(r.code);
  const ConstantTable& table = *r.constantTable;
  RegisterFiles files;
  const float color[4] = {0.1f, 0.2f, 0.3f, 0.4f};
  const float vectors[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  const float values[5] = {7, 8, 9, 10, 11};
  const float pixel[4] = {0.25f, 0.5f, 0, 0};
  EXPECT_TRUE(table.SetVector(files, table.GetConstantByName("Color"), color));
  EXPECT_TRUE(table.SetFloat(files, table.GetConstantByName("KeyDist"), 0.75f));
  EXPECT_TRUE(table.SetFloatArray(files, table.GetConstantByName("A"), values, 5));  // two more than it holds
  EXPECT_TRUE(table.SetVectorArray(files, table.GetConstantByName("V"), vectors, 3));  // one more than it holds
  EXPECT_TRUE(table.SetBool(files, table.GetConstantByName("On"), true));
  EXPECT_TRUE(table.SetInt(files, table.GetConstantByName("Count"), 7));
  EXPECT_TRUE(table.SetVector(files, table.GetConstantByName("PixelSize"), pixel));

  // Nothing was written past the last constant's register (PixelSize, c9).
  EXPECT_EQ(files.Reg(ShaderStage::Pixel, 10)[0], -99.0f);
  EXPECT_EQ(files.Reg(ShaderStage::Pixel, 0)[0], 0.1f);
  EXPECT_EQ(files.Reg(ShaderStage::Vertex, 0)[0], -99.0f);  // the pixel table never touches the vertex file
  const ShaderConstant& a = *table.GetConstantDesc(table.GetConstantByName("A"));
  EXPECT_EQ(a.registerIndex, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(files.Reg(ShaderStage::Pixel, 2 + i)[0], values[i]);

  std::vector<uint8_t> block = Block(*r.code, files);
  auto at = [&](const char* name) { return table.GetConstantDesc(table.GetConstantByName(name))->blockOffset; };
  for (int i = 0; i < 4; ++i) EXPECT_EQ(FloatAt(block, at("Color") + 4 * i), color[i]);
  EXPECT_EQ(FloatAt(block, at("KeyDist")), 0.75f);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(FloatAt(block, at("A") + a.arrayStride * i), values[i]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(FloatAt(block, at("V") + 16 * (i / 4) + 4 * (i % 4)), vectors[i]);
  uint32_t on;
  int32_t count;
  std::memcpy(&on, block.data() + at("On"), 4);
  std::memcpy(&count, block.data() + at("Count"), 4);
  EXPECT_EQ(on, 1u);
  EXPECT_EQ(count, 7);
  EXPECT_EQ(FloatAt(block, at("PixelSize")), 0.25f);
  EXPECT_EQ(FloatAt(block, at("PixelSize") + 4), 0.5f);
}

TEST(ConstantTable, HandlesThatNameNothingOrTheWrongKindChangeNothing) {
  ShaderCompileResult r = Compile(
      "float4x4 M; float4 C; sampler2D S;"
      "float4 ps_main(float2 t : TEXCOORD0) : COLOR0 { return tex2D(S, t) * C * M[0]; }",
      "ps_main", "ps_2_0");
  ASSERT_TRUE(r.code);
  const ConstantTable& table = *r.constantTable;
  RegisterFiles files;
  const float m[16] = {};
  const ConstantHandle none = table.GetConstantByName("KeyColor");
  EXPECT_FALSE(none);
  EXPECT_EQ(table.GetConstantDesc(none), nullptr);
  EXPECT_FALSE(table.SetVector(files, none, m));
  EXPECT_FALSE(table.SetMatrix(files, none, m));
  EXPECT_FALSE(table.SetFloat(files, none, 1));
  EXPECT_FALSE(table.SetMatrix(files, table.GetConstantByName("C"), m));   // a vector is not a matrix
  EXPECT_FALSE(table.SetVector(files, table.GetConstantByName("M"), m));   // nor the other way round
  EXPECT_FALSE(table.SetVector(files, table.GetConstantByName("S"), m));   // samplers hold no values
  EXPECT_FALSE(table.SetFloatArray(files, table.GetConstantByName("C"), m, 0));
  EXPECT_EQ(files.writes, 0);
  EXPECT_EQ(table.GetConstantDesc(table.GetConstantByName("S"))->type, ConstantType::Sampler2D);
}

// Registers are the device's: a value written through one shader's table is
// what another shader reading that register gets.
TEST(ConstantTable, AValueSetThroughOneTableIsSeenByAnotherShaderOnTheSameRegister) {
  ShaderCompileResult setter = Compile(
      "float4 Opacity; float4 ps_Normal(float4 c : COLOR0) : COLOR0 { return c * Opacity; }", "ps_Normal", "ps_2_0");
  ShaderCompileResult reader = Compile(
      "float4 Other : register(c1); float4 Opacity; float4 ps_Screen(float4 c : COLOR0) : COLOR0 { return c * Opacity + Other; }",
      "ps_Screen", "ps_2_0");
  ASSERT_TRUE(setter.code && reader.code);
  RegisterFiles files;
  const float opacity[4] = {0.5f, 0.5f, 0.5f, 0.5f};
  ASSERT_TRUE(setter.constantTable->SetVector(files, setter.constantTable->GetConstantByName("Opacity"), opacity));
  std::vector<uint8_t> block = Block(*reader.code, files);
  const ShaderConstant& seen = *reader.constantTable->GetConstantDesc(reader.constantTable->GetConstantByName("Opacity"));
  EXPECT_EQ(seen.registerIndex, 0);
  EXPECT_EQ(FloatAt(block, seen.blockOffset), 0.5f);
}

}  // namespace
}  // namespace gfx
