// Direct3D 9 shaders and effect files written the way plug-in authors write
// them (the corpus folder): each pair compiled as the host compiles it,
// made into device shaders, linked by the device at the draw, drawn over the
// whole target and compared pixel by pixel with what Direct3D 9 draws.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

#include "../device/device_fixture.h"

namespace gfx::test {
namespace {

std::string ReadCorpus(const std::string& name) {
  std::ifstream in(std::string(LV_SHADER_CORPUS_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Rgba {
  float r, g, b, a;
};

uint32_t Argb(Rgba c) {
  auto byte = [](float v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

Rgba FromArgb(uint32_t argb) {
  return {Channel(argb, 2) / 255.0f, Channel(argb, 1) / 255.0f, Channel(argb, 0) / 255.0f, Channel(argb, 3) / 255.0f};
}

struct CorpusVertex {
  float x, y, z, w;
  float u, v;
  float weights[4];
  float indices[4];
};

class Corpus : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    if (HasFatalFailure() || IsSkipped()) return;
    const VertexElement elements[] = {{0, 0, DeclType::Float4, DeclUsage::Position, 0},
                                      {0, 16, DeclType::Float2, DeclUsage::TexCoord, 0},
                                      {0, 24, DeclType::Float4, DeclUsage::BlendWeight, 0},
                                      {0, 40, DeclType::Float4, DeclUsage::BlendIndices, 0},
                                      kDeclEnd};
    ASSERT_EQ(Result::Ok, device_->CreateVertexDeclaration(elements, &corpusDecl_));
    device_->SetRenderState(RenderState::ZEnable, 0);
    device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
  }

  void TearDown() override {
    ReleasePair();
    for (Texture* t : textures_) t->Release();
    if (corpusDecl_) corpusDecl_->Release();
    DeviceTest::TearDown();
  }

  void ReleasePair() {
    if (corpusVs_) corpusVs_->Release();
    if (corpusPs_) corpusPs_->Release();
    corpusVs_ = nullptr;
    corpusPs_ = nullptr;
  }

  // Both entry points of a corpus file, compiled and made into device shaders.
  ::testing::AssertionResult Load(const std::string& file, const char* vsEntry, const char* vsProfile,
                                  const char* psEntry, const char* psProfile) {
    ReleasePair();
    const std::string text = ReadCorpus(file);
    if (text.empty()) return ::testing::AssertionFailure() << "no corpus file " << file;
    for (bool vertex : {true, false}) {
      ShaderCompileRequest request;
      request.source = text;
      request.entryPoint = vertex ? vsEntry : psEntry;
      request.profile = vertex ? vsProfile : psProfile;
      ShaderCompileResult r = CompileShader(request);
      if (!r.code) return ::testing::AssertionFailure() << file << " " << request.entryPoint << ":\n" << r.messages;
      (vertex ? vsCode_ : psCode_) = CompiledShader{r.code, r.constantTable};
    }
    if (device_->CreateVertexShader(*vsCode_.code, &corpusVs_) != Result::Ok ||
        device_->CreatePixelShader(*psCode_.code, &corpusPs_) != Result::Ok)
      return ::testing::AssertionFailure() << file << ": the device refuses the shaders";
    return ::testing::AssertionSuccess();
  }

  // The quad over the whole target, texture coordinates from (u0, v0) at the
  // top left to (u0 + 1, v0 + 1).
  static std::vector<CorpusVertex> FullTarget(float u0 = 0, float v0 = 0) {
    return {{-1, 1, 0.5f, 1, u0, v0, {1, 0, 0, 0}, {0, 1, 0, 0}},
            {1, 1, 0.5f, 1, u0 + 1, v0, {1, 0, 0, 0}, {0, 1, 0, 0}},
            {-1, -1, 0.5f, 1, u0, v0 + 1, {1, 0, 0, 0}, {0, 1, 0, 0}},
            {1, -1, 0.5f, 1, u0 + 1, v0 + 1, {1, 0, 0, 0}, {0, 1, 0, 0}}};
  }

  // Half a texel in, so that point sampling reads texel centres (what a
  // plug-in's texel offset does).
  static std::vector<CorpusVertex> FullTargetAtTexelCentres(uint32_t w, uint32_t h) {
    return FullTarget(0.5f / static_cast<float>(w), 0.5f / static_cast<float>(h));
  }

  std::vector<uint32_t> Draw(const std::vector<CorpusVertex>& strip) {
    device_->Clear(0, nullptr, clear::Target, kClearColor, 1.0f, 0);
    EXPECT_EQ(Result::Ok, device_->SetVertexDeclaration(corpusDecl_));
    EXPECT_EQ(Result::Ok, device_->SetVertexShader(corpusVs_));
    EXPECT_EQ(Result::Ok, device_->SetPixelShader(corpusPs_));
    EXPECT_EQ(Result::Ok, device_->DrawPrimitiveUP(PrimitiveType::TriangleStrip, static_cast<uint32_t>(strip.size() - 2),
                                                   strip.data(), sizeof(CorpusVertex)));
    return ReadBackBuffer();
  }

  Texture* Texture2x2(std::vector<uint32_t> argb) {
    textures_.push_back(MakeTexture(2, 2, argb));
    return textures_.back();
  }

  // Every pixel against expected(x, y), at most `tolerance` off per channel.
  static void ExpectPixels(const std::vector<uint32_t>& pixels, const std::function<uint32_t(int, int)>& expected,
                           int tolerance = 1) {
    ASSERT_EQ(pixels.size(), static_cast<size_t>(kWidth * kHeight));
    int wrong = 0;
    for (int y = 0; y < static_cast<int>(kHeight); ++y)
      for (int x = 0; x < static_cast<int>(kWidth); ++x) {
        ::testing::AssertionResult near = ColorNear(pixels[y * kWidth + x], expected(x, y), tolerance);
        if (!near && ++wrong <= 3) ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << near.message();
      }
    EXPECT_EQ(wrong, 0);
  }

  void SetVector(const CompiledShader& s, const char* name, Rgba v) {
    const float value[4] = {v.r, v.g, v.b, v.a};
    ASSERT_TRUE(s.table->SetVector(device_->Constants(), s.table->GetConstantByName(name), value)) << name;
  }

  void SetIdentity(const CompiledShader& s, const char* name) {
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ASSERT_TRUE(s.table->SetMatrix(device_->Constants(), s.table->GetConstantByName(name), identity)) << name;
  }

  static constexpr uint32_t kClearColor = 0xFF102030u;
  // Texture coordinates at pixel centres: Direct3D 9 puts them on whole
  // numbers, so a quad over the target gives u = x / width.
  static float U(int x) { return static_cast<float>(x) / kWidth; }
  static float V(int y) { return static_cast<float>(y) / kHeight; }

  VertexDeclaration* corpusDecl_ = nullptr;
  CompiledShader vsCode_, psCode_;
  VertexShader* corpusVs_ = nullptr;
  PixelShader* corpusPs_ = nullptr;
  std::vector<Texture*> textures_;
};

TEST_F(Corpus, APixelInputStructWithAnUnreadPositionLinksAndReadsItsOtherMembers) {
  ASSERT_TRUE(Load("position_in_pixel_input.fx", "vs_main", "vs_2_0", "ps_main", "ps_2_0"));
  SetVector(vsCode_, "Tint", {1, 0.5f, 1, 1});
  ExpectPixels(Draw(FullTarget()), [](int x, int y) { return Argb({U(x), V(y) * 0.5f, 0, 1}); });
}

TEST_F(Corpus, VposAndAReadPositionAreTheWholePixelNumbersFromTheTopLeft) {
  ASSERT_TRUE(Load("pixel_position.hlsl", "vs_main", "vs_3_0", "ps_vpos", "ps_3_0"));
  ExpectPixels(Draw(FullTarget()), [](int x, int y) { return Argb({x / 255.0f, y / 255.0f, 0, 1}); }, 0);
  ASSERT_TRUE(Load("pixel_position.hlsl", "vs_main", "vs_3_0", "ps_position", "ps_3_0"));
  ExpectPixels(Draw(FullTarget()), [](int x, int y) { return Argb({x / 255.0f, y / 255.0f, U(x), 1}); });
}

// The device has one set of sampler units, so the vertex stage's s0 reads
// unit 0 as the pixel stage's s0 does; each stage still gets the registers
// its own constant table reports.
TEST_F(Corpus, ASamplerUsedInBothStagesLinksWithTheRegisterOfEachStage) {
  ASSERT_TRUE(Load("shared_sampler.fx", "vs_main", "vs_3_0", "ps_main", "ps_3_0"));
  auto registerOf = [](const CompiledShader& s, const char* name) {
    const ShaderConstant* c = s.table->GetConstantDesc(s.table->GetConstantByName(name));
    return c ? c->registerIndex : -1;
  };
  EXPECT_EQ(registerOf(vsCode_, "Image"), 0);
  EXPECT_EQ(registerOf(vsCode_, "Ramp"), -1);  // not used there, so not in its table
  EXPECT_EQ(registerOf(psCode_, "Ramp"), 0);
  EXPECT_EQ(registerOf(psCode_, "Image"), 1);

  const std::vector<uint32_t> unit0 = {0xFFFFFFFFu, 0xFF000000u, 0xFF000000u, 0xFF808080u};
  const std::vector<uint32_t> unit1 = {0xFF400000u, 0xFF004000u, 0xFF000040u, 0xFF404040u};
  device_->SetTexture(0, Texture2x2(unit0));
  device_->SetTexture(1, Texture2x2(unit1));
  const Rgba diffuse = FromArgb(unit0[0]);  // the vertex stage's sample at (0.25, 0.25)
  ExpectPixels(Draw(FullTargetAtTexelCentres(kWidth, kHeight)), [&](int x, int y) {
    const int texel = (y * 2 / kHeight) * 2 + x * 2 / kWidth;
    const Rgba image = FromArgb(unit1[texel]), ramp = FromArgb(unit0[texel]);
    return Argb({image.r * diffuse.r + ramp.r * 0.25f, image.g * diffuse.g + ramp.g * 0.25f,
                 image.b * diffuse.b + ramp.b * 0.25f, image.a * diffuse.a + ramp.a * 0.25f});
  });
}

TEST_F(Corpus, PixelInputsTheVertexShaderDoesNotWriteReadZeroAndAColourWhite) {
  ASSERT_TRUE(Load("missing_varying.fx", "vs_main", "vs_2_0", "ps_main", "ps_2_0"));
  ExpectPixels(Draw(FullTarget()), [](int x, int) { return Argb({U(x), 0.25f, 0.5f, 1}); });
}

TEST_F(Corpus, RewrittenDirect3D9FormsKeepTheirMeaning) {
  struct Case {
    const char* file;
    Rgba expected;
  };
  for (const Case& c : {Case{"byte_order_mark.fx", {0.2f, 0.4f, 0.6f, 0.8f}},
                        Case{"flat_array_initialiser.fx", {0.4f, 0.5f, 1, 1}},
                        Case{"loop_variable_after_loop.fx", {0.5f, 0.75f, 0.5f, 1}},
                        Case{"vector_to_array_cast.fx", {0.4f, 0.3f, 0.2f, 0.1f}}}) {
    SCOPED_TRACE(c.file);
    ASSERT_TRUE(Load(c.file, "vs_main", "vs_2_0", "ps_main", "ps_2_0"));
    // byte_order_mark.fx reads c0 directly; vector_to_array_cast.fx's Color is c0 too.
    const float fill[4] = {c.expected.r, c.expected.g, c.expected.b, c.expected.a};
    const float color[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    device_->SetPixelShaderConstantF(0, std::string_view(c.file) == "byte_order_mark.fx" ? fill : color, 1);
    ExpectPixels(Draw(FullTarget()), [&](int, int) { return Argb(c.expected); });
  }
}

TEST_F(Corpus, TechniqueEffectWithSamplerStateDrawsItsTexture) {
  ASSERT_TRUE(Load("technique_effect.fx", "vs_main", "vs_2_0", "ps_main", "ps_2_0"));
  SetIdentity(vsCode_, "matWVP");
  const std::vector<uint32_t> texels = {0xFF102030u, 0x80405060u, 0xFFA0B0C0u, 0x40FF0000u};
  device_->SetTexture(0, Texture2x2(texels));
  ExpectPixels(Draw(FullTargetAtTexelCentres(kWidth, kHeight)), [&](int x, int y) {
    const Rgba t = FromArgb(texels[(y * 2 / kHeight) * 2 + x * 2 / kWidth]);
    return Argb({t.b, t.g, t.r, t.a});  // .bgra
  }, 0);
}

TEST_F(Corpus, FullScreenBlurSpreadsAColumnOverItsNeighbours) {
  ASSERT_TRUE(Load("blur.fx", "vs_blur", "vs_2_0", "ps_blur", "ps_2_0"));
  std::vector<uint32_t> image(kWidth * kHeight, 0xFF000000u);
  for (uint32_t y = 0; y < kHeight; ++y) image[y * kWidth + 5] = 0xFFFFFFFFu;
  Texture* source = MakeTexture(kWidth, kHeight, image);
  textures_.push_back(source);
  device_->SetTexture(0, source);
  SetVector(psCode_, "TexelSize", {1.0f / kWidth, 1.0f / kHeight, 0, 0});
  ExpectPixels(Draw(FullTargetAtTexelCentres(kWidth, kHeight)), [](int x, int) {
    const float v = 0.5f * (x == 5) + 0.25f * (x == 4 || x == 6);
    return Argb({v, v, v, 1});
  });
}

TEST_F(Corpus, ColourKeyReadsItsFixedRegistersSetDirectly) {
  ASSERT_TRUE(Load("color_key.fx", "vs_main", "vs_2_0", "ps_colorkey", "ps_2_0"));
  // Green is the key; the second texel is within the distance of it (0.106).
  const std::vector<uint32_t> texels = {0xFF00FF00u, 0xFF10F010u, 0xFFFF0000u, 0xFF0000FFu};
  device_->SetTexture(0, Texture2x2(texels));
  const float key[4] = {0, 1, 0, 1}, distance[4] = {0.15f, 0, 0, 0}, other[4] = {9, 9, 9, 9};
  device_->SetPixelShaderConstantF(0, other, 1);  // registers the shader does not name
  device_->SetPixelShaderConstantF(2, key, 1);
  device_->SetPixelShaderConstantF(5, distance, 1);
  ExpectPixels(Draw(FullTargetAtTexelCentres(kWidth, kHeight)), [&](int x, int y) {
    const int texel = (y * 2 / kHeight) * 2 + x * 2 / kWidth;
    return texel < 2 ? 0u : texels[texel];
  }, 0);
}

TEST_F(Corpus, VertexShaderLoopRunsTheCountSetAtRunTime) {
  ASSERT_TRUE(Load("dynamic_loop.fx", "vs_main", "vs_3_0", "ps_main", "ps_3_0"));
  SetVector(vsCode_, "Step", {0.25f, 0.125f, 0.0625f, 0});
  for (int count : {3, 0, 2}) {
    SCOPED_TRACE(count);
    ASSERT_TRUE(vsCode_.table->SetInt(device_->Constants(), vsCode_.table->GetConstantByName("Count"), count));
    ExpectPixels(Draw(FullTarget()), [&](int, int) { return Argb({0.25f * count, 0.125f * count, 0.0625f * count, 1}); });
  }
}

// The left edge stays with bone 0; the right edge goes with bone 1, half the
// target to the right.
TEST_F(Corpus, SkinningWithAnArrayOfBoneMatricesMovesEachVertexByItsBone) {
  ASSERT_TRUE(Load("skinning.fx", "vs_skin", "vs_2_0", "ps_main", "ps_2_0"));
  const float bones[2 * 12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,       // identity
                               1, 0, 0, 0, 1, 0, 0, 0, 1, 0.5f, 0, 0};   // moves x by 0.5
  ASSERT_TRUE(vsCode_.table->SetFloatArray(device_->Constants(), vsCode_.table->GetConstantByName("Bones"), bones, 24));
  SetIdentity(vsCode_, "ViewProjection");
  std::vector<CorpusVertex> strip = FullTarget();
  for (CorpusVertex& v : strip) {
    if (v.x > 0) {
      v.x = 0;
      v.weights[0] = 0;
      v.weights[1] = 1;
    }
  }
  // On the target the quad runs from x = 0 to x = 12 (clip -1 to 0.5).
  ExpectPixels(Draw(strip), [](int x, int) {
    if (x >= 12) return kClearColor;
    const float t = static_cast<float>(x) / 12.0f;
    return Argb({1 - t, t, 0, 1});
  });
}

}  // namespace
}  // namespace gfx::test
