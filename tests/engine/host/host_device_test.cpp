// The host's device operations on a real device.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"

namespace {

using gfx::test::ColorNear;

// A device object released when the test leaves, also on a failed assertion.
struct ReleaseObject {
  template <typename T>
  void operator()(T* object) const { object->Release(); }
};
template <typename T>
using Owned = std::unique_ptr<T, ReleaseObject>;

class HostDevice : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    host.device = device_;
    host.mainWindow = &mainWindow;
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer));
    host.targetSurface = backBuffer;
  }
  void TearDown() override {
    if (backBuffer != nullptr) backBuffer->Release();
    DeviceTest::TearDown();
  }

  // A pixel shader of `body`, compiled by the host for the device's profile.
  gfx::PixelShader* HostPixelShader(const char* source, const lv::ShaderMacro* defines = nullptr,
                                    std::shared_ptr<gfx::ConstantTable>* table = nullptr) {
    lv::ShaderDesc desc;
    desc.source = source;
    desc.length = static_cast<uint32_t>(std::strlen(source));
    desc.defines = defines;
    desc.entry = "ps_main";
    desc.constantTable = table;
    return host.CompilePixelShader(&desc);
  }

  FakePrompts prompts;
  int mainWindow = 0;
  gfx::Surface* backBuffer = nullptr;
  lv::LorvaneHost host{nullptr};
};

TEST_F(HostDevice, TargetDescriptionAndProfilesComeFromTheDevice) {
  gfx::SurfaceDesc desc;
  host.GetTargetDesc(&desc, false);  // not re-read: still the empty description
  EXPECT_EQ(desc.width, 0u);
  EXPECT_STREQ(host.GetVertexShaderProfile(), "vs_3_0");
  EXPECT_STREQ(host.GetPixelShaderProfile(), "ps_3_0");

  host.GetTargetDesc(&desc, true);
  EXPECT_EQ(desc.width, kWidth);
  EXPECT_EQ(desc.height, kHeight);
  EXPECT_EQ(desc.format, gfx::Format::A8R8G8B8);
  EXPECT_EQ(host.GetBackBufferDesc()->width, kWidth);

  host.device = nullptr;  // no device: the profiles stay as they were
  host.GetTargetDesc(nullptr, false);
  EXPECT_STREQ(host.GetPixelShaderProfile(), "ps_3_0");
}

TEST_F(HostDevice, TexturesAndSurfacesHaveOneLevelAndTheTargetsFormatByDefault) {
  host.GetTargetDesc(nullptr, true);
  gfx::Texture* texture = host.CreateTexture(64, 32, gfx::Format::Unknown, gfx::usage::None, gfx::Pool::Managed);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetLevelCount(), 1u);
  gfx::SurfaceDesc level;
  texture->GetLevelDesc(0, &level);
  EXPECT_EQ(level.format, gfx::Format::A8R8G8B8);
  EXPECT_EQ(level.width, 64u);
  EXPECT_EQ(texture->Release(), 0u);

  gfx::Surface* surface = host.CreateOffscreenSurface(8, 4, gfx::Format::Unknown, gfx::Pool::SystemMem);
  ASSERT_NE(surface, nullptr);
  gfx::SurfaceDesc plain;
  surface->GetDesc(&plain);
  EXPECT_EQ(plain.format, gfx::Format::A8R8G8B8);
  EXPECT_EQ(surface->Release(), 0u);

  EXPECT_EQ(host.CreateTexture(1u << 20, 1u << 20, gfx::Format::Unknown, 0, gfx::Pool::Managed), nullptr);
  host.device = nullptr;
  EXPECT_EQ(host.CreateTexture(8, 8, gfx::Format::A8R8G8B8, 0, gfx::Pool::Managed), nullptr);
  EXPECT_EQ(host.CreateOffscreenSurface(8, 8, gfx::Format::A8R8G8B8, gfx::Pool::SystemMem), nullptr);
}

TEST_F(HostDevice, ACompiledShaderDrawsWithTheDefinesAndGivesItsConstantTable) {
  host.GetTargetDesc(nullptr, true);
  const lv::ShaderMacro defines[] = {{"TINT", "float4(1, 0, 0, 1)"}, {nullptr, nullptr}};
  std::shared_ptr<gfx::ConstantTable> table;
  gfx::PixelShader* shader =
      HostPixelShader("float4 Gain;\nfloat4 ps_main() : COLOR0 { return TINT * Gain; }\n", defines, &table);
  ASSERT_NE(shader, nullptr);
  ASSERT_NE(table, nullptr);
  EXPECT_TRUE(prompts.Boxes().empty());

  const float gain[4] = {0.5f, 1, 1, 1};
  table->SetVector(device_->Constants(), table->GetConstantByName("Gain"), gain);
  device_->SetPixelShader(shader);
  SetProjection(kWidth, kHeight);
  device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, 0, 1.0f, 0);
  DrawQuad(kWidth, kHeight);
  EXPECT_TRUE(ColorNear(ReadBackBuffer()[0], 0xFF800000u, 1));
  device_->SetPixelShader(nullptr);
  shader->Release();
}

// An effect file whose vertex entry reads 60 bone matrices (240 registers,
// more than the pixel stage has) and whose pixel entry reads a sampler and,
// through a helper, a tint; another pixel entry reads what neither uses.
constexpr const char* kSkinnedEffect = R"(
float4x4 Bones[60];
float4x4 matWVP;
float4 Tint;
float4 Fog;
texture SkinTex;
sampler2D Skin = sampler_state { Texture = <SkinTex>; MinFilter = Point; MagFilter = Point; };
sampler2D Shadow;
struct VS_OUT { float4 pos : POSITION; float2 tc : TEXCOORD0; };
VS_OUT vs_skinned(float3 pos : POSITION, float2 tc : TEXCOORD0) {
  VS_OUT o; o.pos = mul(mul(float4(pos, 1), Bones[59]), matWVP); o.tc = tc; return o; }
float4 Tinted(float4 c) { return c * Tint; }
float4 ps_skin(float2 tc : TEXCOORD0) : COLOR0 { return Tinted(tex2D(Skin, tc)); }
float4 ps_fogged(float2 tc : TEXCOORD0) : COLOR0 { return tex2D(Shadow, tc) + Fog; }
technique Skinned { pass P0 { VertexShader = compile vs_3_0 vs_skinned(); PixelShader = compile ps_3_0 ps_skin(); } }
)";

TEST_F(HostDevice, EachEntryOfAnEffectFileHasRegistersOnlyForWhatItReads) {
  host.GetTargetDesc(nullptr, true);
  lv::ShaderDesc desc;
  desc.source = kSkinnedEffect;
  desc.length = static_cast<uint32_t>(std::strlen(kSkinnedEffect));
  std::shared_ptr<gfx::ConstantTable> vertexTable;
  desc.entry = "vs_skinned";
  desc.constantTable = &vertexTable;
  const Owned<gfx::VertexShader> vertex(host.CompileVertexShader(&desc));
  std::shared_ptr<gfx::ConstantTable> pixelTable;
  desc.entry = "ps_skin";
  desc.constantTable = &pixelTable;
  const Owned<gfx::PixelShader> pixel(host.CompilePixelShader(&desc));
  for (const window::MessageBoxRequest& box : prompts.Boxes()) ADD_FAILURE() << box.text;
  ASSERT_NE(vertex, nullptr);
  ASSERT_NE(pixel, nullptr);

  // The register (or sampler unit) of a constant, -1 when the table lacks it.
  auto registerOf = [](const std::shared_ptr<gfx::ConstantTable>& table, const char* name) {
    const gfx::ShaderConstant* c = table->GetConstantDesc(table->GetConstantByName(name));
    return c != nullptr ? c->registerIndex : -1;
  };
  struct Expected {
    const std::shared_ptr<gfx::ConstantTable>* table;
    const char* name;
    int reg;
  };
  for (const Expected& e : {Expected{&vertexTable, "Bones", 0}, Expected{&vertexTable, "matWVP", 240},
                            Expected{&vertexTable, "Tint", -1}, Expected{&vertexTable, "Skin", -1},
                            Expected{&vertexTable, "Fog", -1}, Expected{&pixelTable, "Tint", 0},
                            Expected{&pixelTable, "Skin", 0}, Expected{&pixelTable, "Bones", -1},
                            Expected{&pixelTable, "matWVP", -1}, Expected{&pixelTable, "Fog", -1},
                            Expected{&pixelTable, "Shadow", -1}}) {
    EXPECT_EQ(registerOf(*e.table, e.name), e.reg)
        << e.name << " in the " << ((*e.table)->Stage() == gfx::ShaderStage::Vertex ? "vertex" : "pixel") << " table";
  }
  EXPECT_EQ(vertexTable->ConstantCount(), 2);
  EXPECT_EQ(pixelTable->ConstantCount(), 2);

  // The last bone moves an 8 x 12 quad from the middle to the right half.
  std::vector<float> bones(60 * 16, 0.0f);
  for (int b = 0; b < 60; ++b)
    for (int i = 0; i < 4; ++i) bones[b * 16 + i * 5] = 1.0f;
  bones[59 * 16 + 12] = 4.0f;
  vertexTable->SetMatrixArray(device_->Constants(), vertexTable->GetConstantByName("Bones"), bones.data(), 60);
  const float wvp[16] = {2.0f / kWidth, 0, 0, 0, 0, 2.0f / kHeight, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
  vertexTable->SetMatrix(device_->Constants(), vertexTable->GetConstantByName("matWVP"), wvp);
  const float tint[4] = {0.5f, 1, 1, 1};
  pixelTable->SetVector(device_->Constants(), pixelTable->GetConstantByName("Tint"), tint);
  const Owned<gfx::Texture> skin(MakeTexture(1, 1, {0xFF80C040u}));
  device_->SetTexture(0, skin.get());
  device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, 0xFF000000u, 1.0f, 0);
  const float x = kWidth / 4.0f, y = kHeight / 2.0f;
  const gfx::test::QuadVertex quad[4] = {{-x, y, 1, 0, 0}, {x, y, 1, 1, 0}, {x, -y, 1, 1, 1}, {-x, -y, 1, 0, 1}};
  ASSERT_EQ(gfx::Result::Ok, device_->SetVertexDeclaration(decl_));
  ASSERT_EQ(gfx::Result::Ok, device_->SetVertexShader(vertex.get()));
  ASSERT_EQ(gfx::Result::Ok, device_->SetPixelShader(pixel.get()));
  ASSERT_EQ(gfx::Result::Ok,
            device_->DrawPrimitiveUP(gfx::PrimitiveType::TriangleFan, 2, quad, sizeof(gfx::test::QuadVertex)));
  const std::vector<uint32_t> pixels = ReadBackBuffer();
  for (uint32_t row : {0u, kHeight / 2, kHeight - 1})
    for (uint32_t column : {0u, kWidth / 2 - 1, kWidth / 2, kWidth - 1}) {
      const uint32_t expected = column < kWidth / 2 ? 0xFF000000u : 0xFF40C040u;
      EXPECT_TRUE(ColorNear(pixels[row * kWidth + column], expected, 1)) << column << ", " << row;
    }
  device_->SetTexture(0, nullptr);
  device_->SetPixelShader(nullptr);
  device_->SetVertexShader(nullptr);

  // The other pixel entry of the text has its own registers.
  desc.entry = "ps_fogged";
  const Owned<gfx::PixelShader> fogged(host.CompilePixelShader(&desc));
  ASSERT_NE(fogged, nullptr);
  EXPECT_EQ(registerOf(pixelTable, "Fog"), 0);
  EXPECT_EQ(registerOf(pixelTable, "Shadow"), 0);
  EXPECT_EQ(registerOf(pixelTable, "Tint"), -1);
  EXPECT_EQ(registerOf(pixelTable, "Skin"), -1);
}

TEST_F(HostDevice, CompilerMessagesGoToABoxAndWarningsStillGiveAShader) {
  // Before the first description there is no profile to fall back on.
  EXPECT_EQ(HostPixelShader("float4 ps_main() : COLOR0 { return 1; }\n"), nullptr);
  ASSERT_EQ(prompts.Boxes().size(), 1u);
  host.GetTargetDesc(nullptr, true);

  struct Case {
    const char* what;
    const char* source;
    bool givesShader;
    const char* message;  // in the box; null: no box
  };
  const Case cases[] = {
      {"clean", "float4 ps_main() : COLOR0 { return 1; }\n", true, nullptr},
      {"warning", "[somehint] float4 ps_main() : COLOR0 { return 1; }\n", true, "warning"},
      {"error", "float4 ps_main() : COLOR0 { return undefinedThing; }\n", false, "undefinedThing"},
  };
  for (const Case& c : cases) {
    const size_t before = prompts.Boxes().size();
    gfx::PixelShader* shader = HostPixelShader(c.source);
    EXPECT_EQ(shader != nullptr, c.givesShader) << c.what;
    if (shader != nullptr) shader->Release();
    const std::vector<window::MessageBoxRequest> boxes = prompts.Boxes();
    ASSERT_EQ(boxes.size(), before + (c.message != nullptr ? 1 : 0)) << c.what;
    if (c.message == nullptr) continue;
    EXPECT_NE(boxes.back().text.find(c.message), std::string::npos) << boxes.back().text;
    EXPECT_EQ(boxes.back().caption, "Pixel shader error");
    EXPECT_EQ(boxes.back().icon, window::MessageBoxIcon::kError);
    EXPECT_EQ(boxes.back().owner, reinterpret_cast<window::WindowHandle>(&mainWindow));
  }

  lv::ShaderDesc vertex;
  vertex.source = "float4 vs_main(float4 p : POSITION) : POSITION { return p * missing; }\n";
  vertex.length = static_cast<uint32_t>(std::strlen(vertex.source));
  vertex.entry = "vs_main";
  EXPECT_EQ(host.CompileVertexShader(&vertex), nullptr);
  EXPECT_EQ(prompts.Boxes().back().caption, "Vertex shader error");
  vertex.source = "float4 vs_main(float4 p : POSITION) : POSITION { return p; }\n";
  vertex.length = static_cast<uint32_t>(std::strlen(vertex.source));
  gfx::VertexShader* shader = host.CompileVertexShader(&vertex);
  ASSERT_NE(shader, nullptr);
  shader->Release();
  EXPECT_EQ(host.CompileVertexShader(nullptr), nullptr);
}

}  // namespace
