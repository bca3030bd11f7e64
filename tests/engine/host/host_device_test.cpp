// The host's device operations on a real device.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"

namespace {

using gfx::test::ColorNear;

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
