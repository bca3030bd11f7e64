// Resources, reference counts, locks, copies, defaults and adapters.
#include "device_fixture.h"

namespace gfx::test {
namespace {

TEST_F(DeviceTest, SurfacesShareTheirTexturesReferenceCount) {
  Texture* texture = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(8, 8, 0, usage::None, Format::X8R8G8B8, Pool::Managed, &texture));
  EXPECT_EQ(4u, texture->GetLevelCount());  // 8, 4, 2, 1
  Surface* level = nullptr;
  ASSERT_EQ(Result::Ok, texture->GetSurfaceLevel(2, &level));
  SurfaceDesc desc;
  level->GetDesc(&desc);
  EXPECT_EQ(2u, desc.width);
  EXPECT_EQ(Format::X8R8G8B8, desc.format);
  EXPECT_EQ(1u, texture->Release());  // the level keeps the texture
  EXPECT_EQ(0u, level->Release());
}

TEST_F(DeviceTest, LockedRectanglesReachTheTexture) {
  Texture* texture = MakeTexture(4, 4, std::vector<uint32_t>(16, 0xFF000000u));
  // Write one texel through a sub-rectangle lock, then read the level back whole.
  LockedRect lr;
  const Rect one{2, 1, 3, 2};
  ASSERT_EQ(Result::Ok, texture->LockRect(0, &lr, &one, 0));
  *static_cast<uint32_t*>(lr.bits) = 0x80123456u;
  ASSERT_EQ(Result::Ok, texture->UnlockRect(0));
  ASSERT_EQ(Result::Ok, texture->LockRect(0, &lr, nullptr, lock::ReadOnly));
  EXPECT_EQ(16, lr.pitch);
  const auto* texels = static_cast<const uint32_t*>(lr.bits);
  EXPECT_EQ(0x80123456u, texels[1 * 4 + 2]);
  EXPECT_EQ(0xFF000000u, texels[1 * 4 + 1]);
  EXPECT_EQ(Result::InvalidCall, texture->LockRect(0, &lr, nullptr, 0)) << "already locked";
  texture->UnlockRect(0);
  const Rect outside{0, 0, 5, 1};
  EXPECT_EQ(Result::InvalidCall, texture->LockRect(0, &lr, &outside, 0));
  texture->Release();
}

TEST_F(DeviceTest, UpdateTextureAndColorFill) {
  Texture* system = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(2, 2, 1, usage::None, Format::A8R8G8B8, Pool::SystemMem, &system));
  Surface* sysLevel = nullptr;
  system->GetSurfaceLevel(0, &sysLevel);
  ASSERT_EQ(Result::Ok, device_->ColorFill(sysLevel, nullptr, 0xFF336699u));
  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(2, 2, 1, usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  EXPECT_EQ(std::vector<uint32_t>(4, 0u), ReadBack(level)) << "a new render target reads as zero";
  ASSERT_EQ(Result::Ok, device_->UpdateTexture(system, target));
  EXPECT_EQ(std::vector<uint32_t>(4, 0xFF336699u), ReadBack(level));
  const Rect corner{1, 1, 2, 2};
  ASSERT_EQ(Result::Ok, device_->ColorFill(level, &corner, 0x00000000u));
  EXPECT_EQ((std::vector<uint32_t>{0xFF336699u, 0xFF336699u, 0xFF336699u, 0u}), ReadBack(level));
  EXPECT_EQ(Result::InvalidCall, device_->UpdateTexture(target, system)) << "only system memory to the card";
  level->Release();
  target->Release();
  sysLevel->Release();
  system->Release();
}

TEST_F(DeviceTest, StretchRectScalesSixteenBitSurfaces) {
  // X1R5G5B5 pixels (red, green) stretched over a 4 x 1 target.
  Surface* plain = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateOffscreenPlainSurface(2, 1, Format::X1R5G5B5, Pool::SystemMem, &plain));
  LockedRect lr;
  plain->LockRect(&lr, nullptr, 0);
  const uint16_t px[2] = {0x7C00, 0x03E0};  // X bit left clear: it must still read as opaque
  std::memcpy(lr.bits, px, 4);
  plain->UnlockRect();
  Texture* target = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateTexture(4, 1, 1, usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &target));
  Surface* level = nullptr;
  target->GetSurfaceLevel(0, &level);
  ASSERT_EQ(Result::Ok, device_->StretchRect(plain, nullptr, level, nullptr, Filter::None));
  EXPECT_EQ((std::vector<uint32_t>{0xFFFF0000u, 0xFFFF0000u, 0xFF00FF00u, 0xFF00FF00u}), ReadBack(level));
  EXPECT_EQ(Result::InvalidCall, device_->StretchRect(level, nullptr, level, nullptr, Filter::None));
  level->Release();
  target->Release();
  plain->Release();
}

TEST_F(DeviceTest, BuffersDrawIndexedStrips) {
  PixelShader* ps = MakePixelShader("ps_color");
  VertexBuffer* vb = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateVertexBuffer(4 * sizeof(QuadVertex), usage::WriteOnly, Pool::Default, &vb));
  IndexBuffer* ib = nullptr;
  ASSERT_EQ(Result::Ok, device_->CreateIndexBuffer(4 * 2, usage::WriteOnly, Format::Index16, Pool::Default, &ib));
  void* data = nullptr;
  ASSERT_EQ(Result::Ok, vb->Lock(0, 0, &data, 0));
  const QuadVertex quad[4] = {{-8, 6, 1, 0, 0}, {8, 6, 1, 0, 0}, {-8, -6, 1, 0, 0}, {8, -6, 1, 0, 0}};
  std::memcpy(data, quad, sizeof quad);
  vb->Unlock();
  ASSERT_EQ(Result::Ok, ib->Lock(0, 0, &data, 0));
  const uint16_t strip[4] = {0, 1, 2, 3};
  std::memcpy(data, strip, sizeof strip);
  ib->Unlock();
  device_->SetPixelShader(ps);
  device_->SetRenderState(RenderState::CullMode, static_cast<uint32_t>(Cull::None));
  SetProjection(kWidth, kHeight);
  SetColor(0, 1, 0, 1);
  device_->SetVertexDeclaration(decl_);
  device_->SetVertexShader(vertexShader_);
  device_->SetStreamSource(0, vb, 0, sizeof(QuadVertex));
  device_->SetIndices(ib);
  ASSERT_EQ(Result::Ok, device_->DrawIndexedPrimitive(PrimitiveType::TriangleStrip, 0, 0, 4, 0, 2));
  const std::vector<uint32_t> pixels = ReadBackBuffer();
  EXPECT_EQ(std::vector<uint32_t>(pixels.size(), 0xFF00FF00u), pixels);
  // Released while bound: the device forgets them instead of drawing from freed memory.
  ib->Release();
  vb->Release();
  EXPECT_EQ(Result::InvalidCall, device_->DrawIndexedPrimitive(PrimitiveType::TriangleStrip, 0, 0, 4, 0, 2));
  ps->Release();
}

TEST_F(DeviceTest, DefaultStatesAreDirect3Ds) {
  struct Case {
    RenderState state;
    uint32_t value;
  } cases[] = {
      {RenderState::ZEnable, 1},  // the device has a depth buffer
      {RenderState::ZFunc, static_cast<uint32_t>(Cmp::LessEqual)},
      {RenderState::CullMode, static_cast<uint32_t>(Cull::CCW)},
      {RenderState::AlphaFunc, static_cast<uint32_t>(Cmp::Always)},
      {RenderState::AlphaRef, 0},
      {RenderState::SrcBlend, static_cast<uint32_t>(Blend::One)},
      {RenderState::DestBlend, static_cast<uint32_t>(Blend::Zero)},
      {RenderState::ColorWriteEnable, 0xF},
  };
  for (const Case& c : cases) {
    uint32_t v = ~0u;
    device_->GetRenderState(c.state, &v);
    EXPECT_EQ(c.value, v) << "render state " << static_cast<int>(c.state);
  }
  uint32_t v = 0;
  device_->GetTextureStageState(0, TextureStageState::AlphaOp, &v);
  EXPECT_EQ(static_cast<uint32_t>(TextureOp::SelectArg1), v);
  device_->GetTextureStageState(1, TextureStageState::ColorOp, &v);
  EXPECT_EQ(static_cast<uint32_t>(TextureOp::Disable), v);
  device_->GetSamplerState(3, SamplerState::AddressU, &v);
  EXPECT_EQ(static_cast<uint32_t>(Address::Wrap), v);
  EXPECT_EQ(Result::InvalidCall, device_->SetSamplerState(kSamplerUnits, SamplerState::AddressU, 0));
}

TEST_F(DeviceTest, UnboundSamplerReadsOpaqueBlack) {
  PixelShader* ps = MakePixelShader("ps_texture");
  device_->Clear(0, nullptr, clear::Target, 0xFFFFFFFFu, 1.0f, 0);
  device_->SetPixelShader(ps);
  device_->SetTexture(0, nullptr);
  SetProjection(kWidth, kHeight);
  DrawQuad(kWidth, kHeight);
  EXPECT_EQ(0xFF000000u, ReadBackBuffer()[0]);
  ps->Release();
}

TEST_F(DeviceTest, CapsAndProfiles) {
  DeviceCaps caps;
  ASSERT_EQ(Result::Ok, device_->GetDeviceCaps(&caps));
  EXPECT_EQ(0u, caps.textureCaps & texturecaps::Pow2) << "any texture size";
  EXPECT_STREQ("vs_3_0", VertexShaderProfile(caps));
  EXPECT_STREQ("ps_3_0", PixelShaderProfile(caps));
}

TEST(GraphicsSystem, OffscreenListsFixedModesForDisplayFormats) {
  if (std::getenv("DISPLAY")) GTEST_SKIP() << "a window system lists its own modes";
  auto system = CreateGraphicsSystem();
  ASSERT_TRUE(system);
  ASSERT_EQ(1u, system->GetAdapterCount());
  AdapterIdentifier id;
  ASSERT_EQ(Result::Ok, system->GetAdapterIdentifier(0, &id));
  EXPECT_EQ("offscreen", id.deviceName);
  EXPECT_FALSE(id.description.empty());
  EXPECT_EQ(0u, system->GetAdapterModeCount(0, Format::A8R8G8B8));
  const uint32_t count = system->GetAdapterModeCount(0, Format::X8R8G8B8);
  ASSERT_GT(count, 0u);
  bool found = false;
  for (uint32_t i = 0; i < count; ++i) {
    DisplayMode m;
    ASSERT_EQ(Result::Ok, system->EnumAdapterModes(0, Format::X8R8G8B8, i, &m));
    EXPECT_EQ(Format::X8R8G8B8, m.format);
    found |= m.width == 1024 && m.height == 768 && m.refreshRate == 60;
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(Result::InvalidCall, system->GetAdapterIdentifier(1, &id));
}

TEST(GraphicsSystem, FullScreenNeedsADisplayFormat) {
  auto system = CreateGraphicsSystem();
  ASSERT_TRUE(system);
  PresentParameters pp;
  pp.windowed = false;
  Device* device = nullptr;
  EXPECT_EQ(Result::NotAvailable, system->CreateDevice(0, DeviceType::Hal, NativeWindow{}, 0, &pp, &device));
  EXPECT_EQ(nullptr, device);
  // Windowed with no size takes 640 x 480 and the desktop's format.
  pp.windowed = true;
  ASSERT_EQ(Result::Ok, system->CreateDevice(0, DeviceType::Hal, NativeWindow{}, 0, &pp, &device));
  EXPECT_EQ(640u, pp.backBufferWidth);
  EXPECT_EQ(480u, pp.backBufferHeight);
  EXPECT_EQ(Format::X8R8G8B8, pp.backBufferFormat);
  EXPECT_EQ(0u, device->Release());
}

}  // namespace
}  // namespace gfx::test
