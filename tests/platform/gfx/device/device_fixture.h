#pragma once
// A real device on an EGL surfaceless context, with the shaders and helpers
// the pixel tests share.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/constant_table.h"
#include "platform/gfx/device.h"
#include "platform/gfx/graphics_system.h"
#include "platform/gfx/shader_code.h"
#include "platform/gfx/shader_compiler.h"

namespace gfx::test {

// The source quad's shaders: position through matWVP, colour from Color.
inline const char* kQuadHlsl = R"(
float4x4 matWVP;
float4 Color;
struct VS_OUT { float4 pos : POSITION; float4 color : COLOR0; float2 tc : TEXCOORD0; };
VS_OUT vs_main(float3 pos : POSITION, float2 tc : TEXCOORD0) {
  VS_OUT o;
  o.pos = mul(float4(pos, 1), matWVP);
  o.color = Color;
  o.tc = tc;
  return o;
}
sampler2D Tex : register(s0);
float4 ps_texture(float4 color : COLOR0, float2 tc : TEXCOORD0) : COLOR0 { return tex2D(Tex, tc); }
float4 ps_color(float4 color : COLOR0) : COLOR0 { return color; }
float4 ps_constant() : COLOR0 { return float4(2.5, -1.25, 0, 1); }
)";

struct QuadVertex {
  float x, y, z, u, v;
};

struct CompiledShader {
  std::shared_ptr<const ShaderCode> code;
  std::shared_ptr<ConstantTable> table;
};

class DeviceTest : public ::testing::Test {
 protected:
  static constexpr uint32_t kWidth = 16;
  static constexpr uint32_t kHeight = 12;

  void SetUp() override {
    system_ = CreateGraphicsSystem();
    ASSERT_TRUE(system_) << "no OpenGL 4.5 through EGL";
    PresentParameters pp;
    pp.backBufferWidth = kWidth;
    pp.backBufferHeight = kHeight;
    pp.backBufferFormat = Format::A8R8G8B8;
    pp.enableAutoDepthStencil = true;
    pp.autoDepthStencilFormat = Format::D24S8;
    pp.presentFallback = [this](const PresentImage& image) {
      presented_.assign(image.pixels, image.pixels + static_cast<size_t>(image.pitch) * image.height);
    };
    ASSERT_EQ(Result::Ok, system_->CreateDevice(0, DeviceType::Hal, NativeWindow{}, create::Multithreaded, &pp,
                                                &device_));
    const VertexElement elements[] = {{0, 0, DeclType::Float3, DeclUsage::Position, 0},
                                      {0, 12, DeclType::Float2, DeclUsage::TexCoord, 0},
                                      kDeclEnd};
    ASSERT_EQ(Result::Ok, device_->CreateVertexDeclaration(elements, &decl_));
    vs_ = Compile("vs_main", "vs_3_0");
    ASSERT_TRUE(vs_.code);
    ASSERT_EQ(Result::Ok, device_->CreateVertexShader(*vs_.code, &vertexShader_));
  }

  void TearDown() override {
    if (vertexShader_) vertexShader_->Release();
    if (decl_) decl_->Release();
    if (device_) {
      EXPECT_EQ(0u, device_->Release()) << "a resource was not released";
    }
  }

  CompiledShader Compile(const char* entry, const char* profile, const char* source = kQuadHlsl) {
    ShaderCompileRequest request;
    request.source = source;
    request.entryPoint = entry;
    request.profile = profile;
    ShaderCompileResult r = CompileShader(request);
    EXPECT_TRUE(r.code) << r.messages;
    return CompiledShader{r.code, r.constantTable};
  }

  PixelShader* MakePixelShader(const char* entry, CompiledShader* compiled = nullptr) {
    CompiledShader c = Compile(entry, "ps_3_0");
    PixelShader* ps = nullptr;
    if (!c.code) return nullptr;
    EXPECT_EQ(Result::Ok, device_->CreatePixelShader(*c.code, &ps));
    if (compiled) *compiled = c;
    return ps;
  }

  // matWVP := the left-handed orthographic projection of w x h, near 0, far 2.
  void SetProjection(float w, float h) {
    const float m[16] = {2 / w, 0, 0, 0, 0, 2 / h, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 1};
    vs_.table->SetMatrix(device_->Constants(), vs_.table->GetConstantByName("matWVP"), m);
  }

  void SetColor(float r, float g, float b, float a) {
    const float c[4] = {r, g, b, a};
    vs_.table->SetVector(device_->Constants(), vs_.table->GetConstantByName("Color"), c);
  }

  // The source quad: centred, w x h pixels, texel rectangle {u0, v0, u1, v1}, at depth z.
  void DrawQuad(float w, float h, float z = 1.0f, float u0 = 0, float v0 = 0, float u1 = 1, float v1 = 1) {
    const QuadVertex quad[4] = {{-w / 2, h / 2, z, u0, v0},
                                {w / 2, h / 2, z, u1, v0},
                                {w / 2, -h / 2, z, u1, v1},
                                {-w / 2, -h / 2, z, u0, v1}};
    ASSERT_EQ(Result::Ok, device_->SetVertexDeclaration(decl_));
    ASSERT_EQ(Result::Ok, device_->SetVertexShader(vertexShader_));
    ASSERT_EQ(Result::Ok, device_->DrawPrimitiveUP(PrimitiveType::TriangleFan, 2, quad, sizeof(QuadVertex)));
  }

  // An A8R8G8B8 MANAGED texture with the given pixels (0xAARRGGBB, rows top first).
  Texture* MakeTexture(uint32_t w, uint32_t h, const std::vector<uint32_t>& argb) {
    Texture* t = nullptr;
    EXPECT_EQ(Result::Ok, device_->CreateTexture(w, h, 1, usage::None, Format::A8R8G8B8, Pool::Managed, &t));
    LockedRect lr;
    EXPECT_EQ(Result::Ok, t->LockRect(0, &lr, nullptr, lock::Discard));
    for (uint32_t y = 0; y < h; ++y)
      std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch, argb.data() + y * w, w * 4);
    EXPECT_EQ(Result::Ok, t->UnlockRect(0));
    return t;
  }

  // The pixels of a render target as 0xAARRGGBB words, rows top first.
  std::vector<uint32_t> ReadBack(Surface* target) {
    SurfaceDesc d;
    target->GetDesc(&d);
    Surface* sys = nullptr;
    EXPECT_EQ(Result::Ok, device_->CreateOffscreenPlainSurface(d.width, d.height, d.format, Pool::SystemMem, &sys));
    EXPECT_EQ(Result::Ok, device_->GetRenderTargetData(target, sys));
    LockedRect lr;
    EXPECT_EQ(Result::Ok, sys->LockRect(&lr, nullptr, lock::ReadOnly));
    std::vector<uint32_t> out(d.width * d.height);
    for (uint32_t y = 0; y < d.height; ++y)
      std::memcpy(out.data() + y * d.width, static_cast<uint8_t*>(lr.bits) + y * lr.pitch, d.width * 4);
    sys->UnlockRect();
    sys->Release();
    return out;
  }

  std::vector<uint32_t> ReadBackBuffer() {
    Surface* bb = nullptr;
    EXPECT_EQ(Result::Ok, device_->GetBackBuffer(0, 0, &bb));
    std::vector<uint32_t> pixels = ReadBack(bb);
    bb->Release();
    return pixels;
  }

  std::unique_ptr<GraphicsSystem> system_;
  Device* device_ = nullptr;
  VertexDeclaration* decl_ = nullptr;
  VertexShader* vertexShader_ = nullptr;
  CompiledShader vs_;
  std::vector<uint8_t> presented_;
};

// Channel c (0 blue, 1 green, 2 red, 3 alpha) of an 0xAARRGGBB word.
inline int Channel(uint32_t argb, int c) { return static_cast<int>((argb >> (8 * c)) & 0xFF); }

// Colours compared channel by channel with one tolerance.
inline ::testing::AssertionResult ColorNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int c = 0; c < 4; ++c) {
    if (std::abs(Channel(actual, c) - Channel(expected, c)) > tolerance) {
      char text[96];
      std::snprintf(text, sizeof text, "0x%08X is not 0x%08X (within %d)", actual, expected, tolerance);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace gfx::test
