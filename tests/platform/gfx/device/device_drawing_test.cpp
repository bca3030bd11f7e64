// Pixels drawn through the device, read back and compared with what
// Direct3D 9 gives for the same calls.
#include <algorithm>
#include <cmath>

#include "device_fixture.h"

namespace gfx::test {
namespace {

constexpr int kTolerance = 2;

// A texture drawn 1:1 with the texel rectangle {0.5/w, 0.5/h, 1+0.5/w, 1+0.5/h}
// samples every texel at its centre, so point and linear filtering both give
// it back exactly; through a compiled pixel shader and through the
// fixed-function stage, into targets of odd and even sizes.
TEST_F(DeviceTest, TextureDrawnOneToOneReproducesEveryTexel) {
  struct Size {
    uint32_t width, height;
  };
  PixelShader* ps = MakePixelShader("ps_texture");
  Surface* backBuffer = nullptr;
  device_->GetBackBuffer(0, 0, &backBuffer);
  Surface* depth = nullptr;
  device_->GetDepthStencilSurface(&depth);
  device_->SetRenderState(RenderState::ZEnable, 0);
  device_->SetSamplerState(0, SamplerState::AddressU, static_cast<uint32_t>(Address::Clamp));
  device_->SetSamplerState(0, SamplerState::AddressV, static_cast<uint32_t>(Address::Clamp));
  SetColor(1, 1, 1, 1);  // the fixed-function stage modulates by the diffuse colour
  for (Size size : {Size{kWidth, kHeight}, Size{5, 3}, Size{64, 64}, Size{854, 480}}) {
    const uint32_t w = size.width, h = size.height;
    std::vector<uint32_t> texels(w * h);
    for (size_t i = 0; i < texels.size(); ++i)
      texels[i] = 0xFF000000u | static_cast<uint32_t>((i * 2654435761u) & 0xFFFFFF);  // neighbours differ a lot
    Texture* texture = MakeTexture(w, h, texels);
    // The fixture's back buffer, or a render-target texture of the size (the
    // depth buffer is left out: it is smaller than the larger targets).
    Texture* target = nullptr;
    Surface* level = backBuffer;
    if (w != kWidth || h != kHeight) {
      ASSERT_EQ(Result::Ok, device_->CreateTexture(w, h, 1, usage::RenderTarget, Format::A8R8G8B8, Pool::Default,
                                                   &target));
      target->GetSurfaceLevel(0, &level);
    }
    device_->SetRenderTarget(0, level);
    device_->SetDepthStencilSurface(target ? nullptr : depth);
    device_->SetTexture(0, texture);
    SetProjection(static_cast<float>(w), static_cast<float>(h));
    const float du = 0.5f / static_cast<float>(w), dv = 0.5f / static_cast<float>(h);
    for (PixelShader* pixelShader : {ps, static_cast<PixelShader*>(nullptr)}) {
      device_->SetPixelShader(pixelShader);
      for (Filter filter : {Filter::Point, Filter::Linear}) {
        device_->SetSamplerState(0, SamplerState::MagFilter, static_cast<uint32_t>(filter));
        device_->SetSamplerState(0, SamplerState::MinFilter, static_cast<uint32_t>(filter));
        device_->Clear(0, nullptr, clear::Target, 0, 1.0f, 0);
        DrawQuad(static_cast<float>(w), static_cast<float>(h), 1.0f, du, dv, 1 + du, 1 + dv);
        const std::vector<uint32_t> pixels = ReadBack(level);
        int wrong = 0, worst = 0;
        for (size_t i = 0; i < texels.size(); ++i) {
          if (pixels[i] == texels[i]) continue;
          ++wrong;
          for (int c = 0; c < 4; ++c) worst = std::max(worst, std::abs(Channel(pixels[i], c) - Channel(texels[i], c)));
          if (wrong == 1)
            ADD_FAILURE() << w << "x" << h << (pixelShader ? " pixel shader" : " fixed function") << " filter "
                          << static_cast<int>(filter) << ": first wrong pixel (" << i % w << ", " << i / w
                          << ") " << ColorNear(pixels[i], texels[i], 0).message();
        }
        EXPECT_EQ(0, wrong) << w << "x" << h << (pixelShader ? " pixel shader" : " fixed function") << " filter "
                            << static_cast<int>(filter) << ", largest channel difference " << worst;
      }
    }
    device_->SetRenderTarget(0, backBuffer);
    device_->SetTexture(0, nullptr);
    if (target) {
      level->Release();
      target->Release();
    }
    texture->Release();
  }
  device_->SetDepthStencilSurface(depth);
  depth->Release();
  backBuffer->Release();
  ps->Release();
}

// Quads tiling the target, with edges through pixel centres and between
// them, cover every pixel once, the one Direct3D's top-left rule gives: a
// pixel belongs to the tile whose [left, right) x [top, bottom) holds its
// centre. Each tile adds its column's bit to red and its row's bit to green.
TEST_F(DeviceTest, TilingQuadsCoverEachPixelOnceByTheTopLeftRule) {
  struct Size {
    uint32_t width, height;
  };
  PixelShader* ps = MakePixelShader("ps_color");
  Surface* backBuffer = nullptr;
  device_->GetBackBuffer(0, 0, &backBuffer);
  device_->SetPixelShader(ps);
  device_->SetRenderState(RenderState::ZEnable, 0);
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
  device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::One));
  device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::One));
  for (Size size : {Size{kWidth, kHeight}, Size{5, 3}}) {
    const float w = static_cast<float>(size.width), h = static_cast<float>(size.height);
    Texture* target = nullptr;
    Surface* level = backBuffer;
    if (size.width != kWidth) {
      ASSERT_EQ(Result::Ok, device_->CreateTexture(size.width, size.height, 1, usage::RenderTarget, Format::A8R8G8B8,
                                                   Pool::Default, &target));
      target->GetSurfaceLevel(0, &level);
    }
    device_->SetRenderTarget(0, level);
    device_->Clear(0, nullptr, clear::Target, 0, 1.0f, 0);
    SetProjection(w, h);
    // Edges in Direct3D pixel coordinates (centres on integers).
    const float columns[] = {0, 2, w - 1.5f, w};
    const float rows[] = {0, 1, h - 0.75f, h};
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 3; ++column) {
        SetColor(static_cast<float>(1 << column) / 255, static_cast<float>(1 << row) / 255, 0, 0);
        const float x0 = columns[column] - w / 2, x1 = columns[column + 1] - w / 2;
        const float y0 = h / 2 - rows[row], y1 = h / 2 - rows[row + 1];
        const QuadVertex quad[4] = {{x0, y0, 1, 0, 0}, {x1, y0, 1, 0, 0}, {x1, y1, 1, 0, 0}, {x0, y1, 1, 0, 0}};
        device_->SetVertexDeclaration(decl_);
        device_->SetVertexShader(vertexShader_);
        device_->DrawPrimitiveUP(PrimitiveType::TriangleFan, 2, quad, sizeof(QuadVertex));
      }
    const std::vector<uint32_t> pixels = ReadBack(level);
    const auto owner = [](const float* edges, uint32_t centre) {
      int i = 0;
      while (!(edges[i] <= static_cast<float>(centre) && static_cast<float>(centre) < edges[i + 1])) ++i;
      return i;
    };
    for (uint32_t y = 0; y < size.height; ++y)
      for (uint32_t x = 0; x < size.width; ++x) {
        const uint32_t expected = ColorArgb(0, 1u << owner(columns, x), 1u << owner(rows, y), 0);
        EXPECT_EQ(expected, pixels[y * size.width + x]) << size.width << "x" << size.height << " pixel (" << x
                                                        << ", " << y << ")";
      }
    device_->SetRenderTarget(0, backBuffer);
    if (target) {
      level->Release();
      target->Release();
    }
  }
  backBuffer->Release();
  ps->Release();
}

TEST_F(DeviceTest, RenderedTextureSamplesUpright) {
  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(kWidth, kHeight, 1, usage::RenderTarget, Format::Unknown,
                                               Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  Surface* backBuffer = nullptr;
  device_->GetBackBuffer(0, 0, &backBuffer);
  PixelShader* colour = MakePixelShader("ps_color");
  PixelShader* textured = MakePixelShader("ps_texture");

  // Red over the top half of the texture (y up in the projection), blue below.
  ASSERT_EQ(Result::Ok, device_->SetRenderTarget(0, level));
  device_->Clear(0, nullptr, clear::Target, ColorArgb(255, 0, 0, 255), 1.0f, 0);
  device_->SetPixelShader(colour);
  device_->SetRenderState(RenderState::ZEnable, 0);
  SetProjection(kWidth, kHeight);
  SetColor(1, 0, 0, 1);
  const QuadVertex top[4] = {{-8, 6, 1, 0, 0}, {8, 6, 1, 0, 0}, {8, 0, 1, 0, 0}, {-8, 0, 1, 0, 0}};
  device_->SetVertexDeclaration(decl_);
  device_->SetVertexShader(vertexShader_);
  device_->DrawPrimitiveUP(PrimitiveType::TriangleFan, 2, top, sizeof(QuadVertex));

  device_->SetRenderTarget(0, backBuffer);
  device_->SetPixelShader(textured);
  device_->SetTexture(0, target);
  const float du = 0.5f / kWidth, dv = 0.5f / kHeight;
  DrawQuad(kWidth, kHeight, 1.0f, du, dv, 1 + du, 1 + dv);
  const std::vector<uint32_t> pixels = ReadBackBuffer();
  EXPECT_EQ(0xFFFF0000u, pixels.front()) << "top row";
  EXPECT_EQ(0xFF0000FFu, pixels.back()) << "bottom row";
  EXPECT_EQ(0xFFFF0000u, pixels[(kHeight / 2 - 1) * kWidth]);
  EXPECT_EQ(0xFF0000FFu, pixels[(kHeight / 2) * kWidth]);

  device_->SetTexture(0, nullptr);
  textured->Release();
  colour->Release();
  backBuffer->Release();
  level->Release();
  target->Release();
}

TEST_F(DeviceTest, DepthRunsFromZeroToOne) {
  PixelShader* ps = MakePixelShader("ps_color");
  device_->SetPixelShader(ps);
  SetProjection(kWidth, kHeight);
  device_->Clear(0, nullptr, clear::Target | clear::ZBuffer, 0xFF000000u, 1.0f, 0);
  // z = 0 lands at depth 0 (in GL's default range it would be 0.5) and passes LESSEQUAL over 1.0.
  SetColor(1, 0, 0, 1);
  DrawQuad(kWidth, kHeight, 0.0f);
  EXPECT_EQ(0xFFFF0000u, ReadBackBuffer()[0]);
  // Anything behind depth 0 now fails; depth 0 itself still passes LESSEQUAL.
  SetColor(0, 1, 0, 1);
  DrawQuad(kWidth, kHeight, 0.2f);
  EXPECT_EQ(0xFFFF0000u, ReadBackBuffer()[0]);
  SetColor(0, 0, 1, 1);
  DrawQuad(kWidth, kHeight, 0.0f);
  EXPECT_EQ(0xFF0000FFu, ReadBackBuffer()[0]);
  // A quad at the far plane (z = 2, depth 1) passes over a fresh clear.
  device_->Clear(0, nullptr, clear::ZBuffer, 0, 1.0f, 0);
  SetColor(0, 1, 0, 1);
  DrawQuad(kWidth, kHeight, 2.0f);
  EXPECT_EQ(0xFF00FF00u, ReadBackBuffer()[0]);
  ps->Release();
}

TEST_F(DeviceTest, ConstantsAreDeviceRegisters) {
  // Three shader texts, each with its own globals, registers given in declaration order.
  const char* hlslA = "float4 ColorA;\nfloat4 ps_a() : COLOR0 { return ColorA; }\n";
  const char* hlslB = "float4 ColorB;\nfloat4 ps_b() : COLOR0 { return ColorB; }\n";
  const char* hlslC = "float4 First; float4 Second;\nfloat4 ps_c() : COLOR0 { return First + Second; }\n";
  auto make = [&](const char* entry, CompiledShader* c) {
    const char* hlsl = entry[3] == 'a' ? hlslA : entry[3] == 'b' ? hlslB : hlslC;
    *c = Compile(entry, "ps_3_0", hlsl);
    PixelShader* ps = nullptr;
    EXPECT_EQ(Result::Ok, device_->CreatePixelShader(*c->code, &ps));
    return ps;
  };
  CompiledShader a, b, c;
  PixelShader* psA = make("ps_a", &a);
  PixelShader* psB = make("ps_b", &b);
  PixelShader* psC = make("ps_c", &c);
  SetProjection(kWidth, kHeight);
  device_->SetRenderState(RenderState::ZEnable, 0);

  // ColorA and ColorB both take c0: set through A's table, read by B.
  const float red[4] = {1, 0, 0, 1};
  ASSERT_TRUE(a.table->SetVector(device_->Constants(), a.table->GetConstantByName("ColorA"), red));
  device_->SetPixelShader(psB);
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFFFF0000u, ReadBackBuffer()[0]);

  // Second is c1, which B does not read: B draws as before.
  const float green[4] = {0, 1, 0, 1};
  ASSERT_TRUE(c.table->SetVector(device_->Constants(), c.table->GetConstantByName("Second"), green));
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFFFF0000u, ReadBackBuffer()[0]);

  // C reads both registers, still set after the shader switches.
  device_->SetPixelShader(psC);
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFFFFFF00u, ReadBackBuffer()[0]);

  psA->Release();
  psB->Release();
  psC->Release();
}

// A point has one value of each vertex output over its square: the pixel
// stage must read them as they are (reading them off the pixel centre is not
// defined for points, and gave garbage that changed from run to run).
TEST_F(DeviceTest, PointsTakeTheirVertexValues) {
  Texture* texture = MakeTexture(4, 1, {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u});
  PixelShader* textured = MakePixelShader("ps_texture");
  PixelShader* coloured = MakePixelShader("ps_color");
  ASSERT_EQ(Result::Ok, device_->SetVertexDeclaration(decl_));
  ASSERT_EQ(Result::Ok, device_->SetVertexShader(vertexShader_));
  device_->SetTexture(0, texture);
  device_->SetRenderState(RenderState::ZEnable, 0);
  SetProjection(kWidth, kHeight);
  SetColor(0.2f, 0.4f, 0.6f, 1.0f);
  const uint32_t diffuse = 0xFF336699u;
  // Point k on pixel (3k + 1, k + 2), at the centre of texel k.
  QuadVertex points[4];
  for (int k = 0; k < 4; ++k) {
    points[k] = {float(3 * k + 1) - kWidth / 2.0f, kHeight / 2.0f - float(k + 2), 1.0f, (float(k) + 0.5f) / 4.0f, 0.5f};
  }
  const struct {
    const char* stage;
    PixelShader* shader;
    bool texel;
  } stages[] = {{"ps_texture", textured, true}, {"ps_color", coloured, false}, {"fixed function", nullptr, false}};
  device_->SetTextureStageState(0, TextureStageState::ColorOp, static_cast<uint32_t>(TextureOp::SelectArg1));
  device_->SetTextureStageState(0, TextureStageState::ColorArg1, texarg::Diffuse);
  // Points are drawn by variants of the pixel stages, with and without the alpha test.
  const struct {
    const char* name;
    bool enable;
    Cmp func;
    size_t drawn;
  } alphaTests[] = {{"no alpha test", false, Cmp::Always, 4}, {"alpha test passing", true, Cmp::Greater, 4},
                    {"alpha test failing", true, Cmp::Less, 0}};
  device_->SetRenderState(RenderState::AlphaRef, 0x80);
  for (const auto& stage : stages) {
    for (const auto& alpha : alphaTests) {
      SCOPED_TRACE(testing::Message() << stage.stage << ", " << alpha.name);
      device_->Clear(0, nullptr, clear::Target, 0xFF000000u, 1.0f, 0);
      device_->SetPixelShader(stage.shader);
      device_->SetRenderState(RenderState::AlphaTestEnable, alpha.enable ? 1 : 0);
      device_->SetRenderState(RenderState::AlphaFunc, static_cast<uint32_t>(alpha.func));
      ASSERT_EQ(Result::Ok, device_->DrawPrimitiveUP(PrimitiveType::PointList, 4, points, sizeof(QuadVertex)));
      const std::vector<uint32_t> pixels = ReadBackBuffer();
      const uint32_t texels[4] = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u};
      size_t drawn = 0;
      for (uint32_t pixel : pixels) drawn += pixel != 0xFF000000u;
      EXPECT_EQ(drawn, alpha.drawn);
      for (int k = 0; k < 4 && alpha.drawn > 0; ++k) {
        const uint32_t expected = stage.texel ? texels[k] : diffuse;
        EXPECT_TRUE(ColorNear(pixels[size_t(k + 2) * kWidth + size_t(3 * k + 1)], expected, 1)) << "point " << k;
      }
    }
  }
  device_->SetRenderState(RenderState::AlphaTestEnable, 0);
  device_->SetPixelShader(nullptr);
  device_->SetTexture(0, nullptr);
  textured->Release();
  coloured->Release();
  texture->Release();
}

TEST_F(DeviceTest, FixedFunctionModulate4XKeepsTextureAlpha) {
  // Texel (R 0xFF, G 0x80, B 0x40, A 0x60) x diffuse (0.5, 0.25, 0.75, 0.2) x 4, saturated.
  Texture* texture = MakeTexture(1, 1, {0x60FF8040u});
  device_->SetTexture(0, texture);
  device_->SetPixelShader(nullptr);
  device_->SetTextureStageState(0, TextureStageState::ColorOp, static_cast<uint32_t>(TextureOp::Modulate4X));
  device_->SetTextureStageState(0, TextureStageState::ColorArg1, texarg::Texture);
  device_->SetTextureStageState(0, TextureStageState::ColorArg2, texarg::Diffuse);
  SetProjection(kWidth, kHeight);
  SetColor(0.5f, 0.25f, 0.75f, 0.2f);
  DrawQuad(kWidth, kHeight);
  const auto expect = [](float texel, float diffuse) {
    return static_cast<uint32_t>(std::lround(std::min(1.0f, texel / 255.0f * diffuse * 4) * 255));
  };
  const uint32_t expected = (0x60u << 24) | (expect(0xFF, 0.5f) << 16) | (expect(0x80, 0.25f) << 8) |
                            expect(0x40, 0.75f);
  EXPECT_TRUE(ColorNear(ReadBackBuffer()[0], expected, kTolerance));
  device_->SetTexture(0, nullptr);
  texture->Release();
}

TEST_F(DeviceTest, AlphaTestGreaterZeroDropsTransparentTexels) {
  // Left column transparent, right opaque white; drawn point-sampled over blue.
  Texture* texture = MakeTexture(2, 1, {0x00FFFFFFu, 0xFFFFFFFFu});
  PixelShader* ps = MakePixelShader("ps_texture");
  device_->Clear(0, nullptr, clear::Target, 0xFF0000FFu, 1.0f, 0);
  device_->SetTexture(0, texture);
  device_->SetPixelShader(ps);
  device_->SetRenderState(RenderState::AlphaTestEnable, 1);
  device_->SetRenderState(RenderState::AlphaFunc, static_cast<uint32_t>(Cmp::Greater));
  SetProjection(kWidth, kHeight);
  DrawQuad(kWidth, kHeight);
  const std::vector<uint32_t> pixels = ReadBackBuffer();
  EXPECT_EQ(0xFF0000FFu, pixels[0]) << "transparent texel dropped";
  EXPECT_EQ(0xFFFFFFFFu, pixels[kWidth - 1]) << "opaque texel drawn";
  device_->SetTexture(0, nullptr);
  ps->Release();
  texture->Release();
}

TEST_F(DeviceTest, BlendOperations) {
  PixelShader* ps = MakePixelShader("ps_color");
  device_->SetPixelShader(ps);
  SetProjection(kWidth, kHeight);
  const uint32_t dest = ColorArgb(255, 0x99, 0x66, 0x33);  // 0.6, 0.4, 0.2
  SetColor(0.2f, 0.6f, 0.2f, 1.0f);                         // 0x33, 0x99, 0x33
  struct Case {
    BlendOp op;
    uint32_t expected;
  } cases[] = {
      {BlendOp::Add, ColorArgb(255, 0xCC, 0xFF, 0x66)},
      {BlendOp::Subtract, ColorArgb(0, 0x00, 0x33, 0x00)},     // source - target
      {BlendOp::RevSubtract, ColorArgb(0, 0x66, 0x00, 0x00)},  // target - source
      {BlendOp::Min, ColorArgb(255, 0x33, 0x66, 0x33)},
      {BlendOp::Max, ColorArgb(255, 0x99, 0x99, 0x33)},
  };
  device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
  device_->SetRenderState(RenderState::SrcBlend, static_cast<uint32_t>(Blend::One));
  device_->SetRenderState(RenderState::DestBlend, static_cast<uint32_t>(Blend::One));
  for (const Case& c : cases) {
    device_->Clear(0, nullptr, clear::Target, dest, 1.0f, 0);
    device_->SetRenderState(RenderState::BlendOp, static_cast<uint32_t>(c.op));
    DrawQuad(kWidth, kHeight);
    EXPECT_TRUE(ColorNear(ReadBackBuffer()[0], c.expected, kTolerance)) << "blend op " << static_cast<int>(c.op);
  }
  ps->Release();
}

TEST_F(DeviceTest, ColorWriteMaskAndCulling) {
  PixelShader* ps = MakePixelShader("ps_color");
  device_->SetPixelShader(ps);
  SetProjection(kWidth, kHeight);
  SetColor(1, 1, 1, 1);
  device_->Clear(0, nullptr, clear::Target, 0xFF000000u, 1.0f, 0);
  device_->SetRenderState(RenderState::ColorWriteEnable, colorwrite::Red | colorwrite::Alpha);
  DrawQuad(kWidth, kHeight);  // the quad's corners run clockwise on screen
  EXPECT_EQ(0xFFFF0000u, ReadBackBuffer()[0]) << "only red written";
  device_->SetRenderState(RenderState::ColorWriteEnable, colorwrite::All);

  // The default CULLMODE CCW keeps clockwise triangles; CW drops them.
  device_->Clear(0, nullptr, clear::Target, 0xFF000000u, 1.0f, 0);
  device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::CW));
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFF000000u, ReadBackBuffer()[0]) << "clockwise culled by CW";
  device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::CCW));
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFFFFFFFFu, ReadBackBuffer()[0]) << "clockwise kept by CCW";
  ps->Release();
}

TEST_F(DeviceTest, FloatRenderTargetKeepsValuesOutsideZeroToOne) {
  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(4, 4, 1, usage::RenderTarget, Format::G32R32F, Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  PixelShader* ps = MakePixelShader("ps_constant");  // returns (2.5, -1.25, 0, 1)
  device_->SetRenderTarget(0, level);
  device_->SetPixelShader(ps);
  device_->SetRenderState(RenderState::ZEnable, 0);
  SetProjection(4, 4);
  DrawQuad(4, 4);
  Surface* sys = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateOffscreenPlainSurface(4, 4, Format::G32R32F, Pool::SystemMem, &sys));
  ASSERT_EQ(Result::Ok, device_->GetRenderTargetData(level, sys));
  LockedRect lr;
  sys->LockRect(&lr, nullptr, lock::ReadOnly);
  const auto* rg = static_cast<const float*>(lr.bits);
  EXPECT_FLOAT_EQ(2.5f, rg[0]);
  EXPECT_FLOAT_EQ(-1.25f, rg[1]);
  sys->UnlockRect();
  sys->Release();
  ps->Release();
  level->Release();
  target->Release();
}

TEST_F(DeviceTest, StretchRectConvertsYuy2AndScales) {
  // Two pixel pairs a row: white, black | red-ish, the same again on row 2.
  Surface* yuy2 = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateOffscreenPlainSurface(4, 2, Format::YUY2, Pool::SystemMem, &yuy2));
  LockedRect lr;
  ASSERT_EQ(Result::Ok, yuy2->LockRect(&lr, nullptr, 0));
  const uint8_t row[8] = {235, 128, 16, 128, 81, 90, 81, 240};  // Y0 U Y1 V for each pair
  for (int y = 0; y < 2; ++y) std::memcpy(static_cast<uint8_t*>(lr.bits) + y * lr.pitch, row, 8);
  yuy2->UnlockRect();

  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(8, 4, 1, usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  ASSERT_EQ(Result::Ok, device_->StretchRect(yuy2, nullptr, level, nullptr, Filter::None));
  const std::vector<uint32_t> pixels = ReadBack(level);
  // BT.601 limited range; each source pixel covers 2 x 2 target pixels.
  EXPECT_TRUE(ColorNear(pixels[0], 0xFFFFFFFFu, kTolerance));
  EXPECT_TRUE(ColorNear(pixels[3], 0xFF000000u, kTolerance));
  EXPECT_TRUE(ColorNear(pixels[8 * 3 + 5], 0xFFFF0000u, kTolerance));
  level->Release();
  target->Release();
  yuy2->Release();
}

TEST_F(DeviceTest, PresentKeepsThePictureAndHandsItOverTopRowFirst) {
  device_->Clear(0, nullptr, clear::Target, 0xFF0000FFu, 1.0f, 0);
  Surface* bb = nullptr;
  device_->GetBackBuffer(0, 0, &bb);
  const Rect top{0, 0, static_cast<int32_t>(kWidth), 1};
  ASSERT_EQ(Result::Ok, device_->ColorFill(bb, &top, 0xFFFF0000u));
  bb->Release();
  for (int frame = 0; frame < 2; ++frame) {  // the second frame draws nothing: the picture stays (copy swap)
    ASSERT_EQ(Result::Ok, device_->BeginScene());
    ASSERT_EQ(Result::Ok, device_->EndScene());
    ASSERT_EQ(Result::Ok, device_->Present(nullptr, nullptr, NativeWindow{}, nullptr));
    ASSERT_EQ(kWidth * kHeight * 4, presented_.size());
    EXPECT_EQ((std::vector<uint8_t>{255, 0, 0, 255}), std::vector<uint8_t>(presented_.begin(), presented_.begin() + 4));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 255, 255}), std::vector<uint8_t>(presented_.end() - 4, presented_.end()));
  }
}

TEST_F(DeviceTest, SetRenderTargetResetsTheViewportAndKeepsTheDepthBuffer) {
  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(8, 6, 1, usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  Surface* depthBefore = nullptr;
  device_->GetDepthStencilSurface(&depthBefore);
  device_->SetViewport(Viewport{2, 2, 4, 4, 0, 1});
  device_->SetRenderTarget(0, level);
  Viewport vp;
  device_->GetViewport(&vp);
  EXPECT_EQ(0u, vp.x);
  EXPECT_EQ(8u, vp.width);
  EXPECT_EQ(6u, vp.height);
  Surface* depthAfter = nullptr;
  device_->GetDepthStencilSurface(&depthAfter);
  EXPECT_EQ(depthBefore, depthAfter);

  // Drawing into the smaller target still tests depth: a cleared depth of 0 hides the quad.
  PixelShader* ps = MakePixelShader("ps_color");
  device_->SetPixelShader(ps);
  device_->Clear(0, nullptr, clear::Target | clear::ZBuffer, 0xFF000000u, 0.0f, 0);
  SetProjection(8, 6);
  SetColor(1, 1, 1, 1);
  DrawQuad(8, 6, 1.0f);
  EXPECT_EQ(0xFF000000u, ReadBack(level)[0]);
  ps->Release();
  depthAfter->Release();
  depthBefore->Release();
  level->Release();
  target->Release();
}

}  // namespace
}  // namespace gfx::test
