// The display device: mode lists and the back-buffer format they give,
// device creation and its fallbacks, the frame's states and the picture
// that persists from one present to the next.
#include "display/d3d.h"

#include <gtest/gtest.h>

#include <vector>

#include "display_readback.h"
#include "scripted_graphics_system.h"

namespace {

using gfx::Format;
using lvtest::ScriptedGraphicsSystem;
using lvtest::SystemScript;

class D3DTest : public testing::Test {
 protected:
  lv::D3D d3d{[this] { return std::make_unique<ScriptedGraphicsSystem>(&script); }};
  SystemScript script;
  std::vector<uint32_t> presented;  // first pixel of every fallback present, as 0x00RRGGBB

  void SetUp() override {
    d3d.SetPresentFallback([this](const gfx::PresentImage& image) {
      const uint8_t* p = image.pixels;
      presented.push_back(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2]);
    });
  }

  // Lists the scripted modes as the start-up does.
  void ListModes() {
    ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
    ASSERT_EQ(d3d.GetDriverInfo(), gfx::Result::Ok);
  }
};

TEST_F(D3DTest, FullScreenFormatIsTheListedModesOrTheFirstOfTheBitsForAnySizeTheDeviceMakes) {
  const gfx::DisplayMode mode{1024, 768, 60, Format::Unknown};
  const gfx::DisplayMode large{1280, 1024, 60, Format::Unknown};
  struct Case {
    std::map<Format, std::vector<gfx::DisplayMode>> modes;
    lv::DisplayRequest request;
    Format expected;
  } cases[] = {
      {{{Format::X8R8G8B8, {mode}}}, {0, 1024, 768, 32, 60}, Format::X8R8G8B8},
      {{{Format::X8R8G8B8, {mode}}, {Format::A8B8G8R8, {mode}}}, {0, 1024, 768, 32, 60}, Format::A8B8G8R8},
      {{{Format::X8R8G8B8, {mode}}, {Format::A8B8G8R8, {mode}}, {Format::A8R8G8B8, {mode}}},
       {0, 1024, 768, 32, 60}, Format::A8R8G8B8},
      // R5G6B5 goes by the label 15, X1R5G5B5 by 16.
      {{{Format::R5G6B5, {mode}}, {Format::X1R5G5B5, {mode}}}, {0, 1024, 768, 15, 60}, Format::R5G6B5},
      {{{Format::R5G6B5, {mode}}, {Format::X1R5G5B5, {mode}}}, {0, 1024, 768, 16, 60}, Format::X1R5G5B5},
      // A listed mode wins over the first of its bits.
      {{{Format::A8R8G8B8, {large}}, {Format::X8R8G8B8, {mode}}}, {0, 1024, 768, 32, 60}, Format::X8R8G8B8},
      // Sizes and rates the screen does not list are scaled to it: the first format of the bits.
      {{{Format::A8R8G8B8, {large}}, {Format::X8R8G8B8, {mode}}}, {0, 800, 600, 32, 60}, Format::A8R8G8B8},
      {{{Format::X8R8G8B8, {mode}}}, {0, 1024, 768, 32, 75}, Format::X8R8G8B8},
      {{{Format::X8R8G8B8, {mode}}}, {0, 1280, 768, 32, 60}, Format::X8R8G8B8},
      {{{Format::R5G6B5, {mode}}, {Format::X1R5G5B5, {mode}}}, {0, 800, 600, 15, 60}, Format::R5G6B5},
      {{{Format::X8R8G8B8, {mode}}}, {0, 1, 1, 32, 60}, Format::X8R8G8B8},
      // What cannot be made: bits no format has, no size, beyond the largest side.
      {{{Format::X8R8G8B8, {mode}}}, {0, 1024, 768, 24, 60}, Format::Unknown},
      {{{Format::X8R8G8B8, {mode}}}, {0, 800, 600, 16, 60}, Format::Unknown},
      {{{Format::X8R8G8B8, {mode}}}, {0, 0, 600, 32, 60}, Format::Unknown},
      {{{Format::X8R8G8B8, {mode}}}, {0, 800, 16385, 32, 60}, Format::Unknown},
      {{{Format::X8R8G8B8, {mode}}}, {1, 1024, 768, 32, 60}, Format::Unknown},
  };
  for (const Case& c : cases) {
    script.adapters = {{"card", "screen", c.modes}};
    script.adapters[0].modes[Format::X8R8G8B8].push_back({640, 480, 60, Format::Unknown});
    ListModes();
    EXPECT_EQ(d3d.FullScreenFormat(c.request), c.expected)
        << "adapter " << c.request.adapter << " " << c.request.width << "x" << c.request.height << " "
        << c.request.bitsPerPixel << " bits " << c.request.refreshRate;
    d3d.Shutdown();
  }
}

TEST_F(D3DTest, TheLargestFullScreenSizeIsTheDevicesLargestTexture) {
  script.maxTextureSide = 2048;
  ListModes();
  EXPECT_EQ(d3d.FullScreenFormat({0, 2048, 2048, 32, 60}), Format::X8R8G8B8);
  EXPECT_EQ(d3d.FullScreenFormat({0, 2049, 600, 32, 60}), Format::Unknown);
  EXPECT_EQ(d3d.FullScreenFormat({0, 800, 2049, 32, 60}), Format::Unknown);
}

TEST_F(D3DTest, DriverInfoKeepsFourAdaptersAndStopsAtAFailingIdentifier) {
  script.adapters.resize(6, script.adapters[0]);
  ListModes();
  EXPECT_EQ(d3d.AdapterCount(), 4);
  EXPECT_STREQ(d3d.Adapter(3).deviceName.CStr(), "screen-0");
  EXPECT_EQ(d3d.Adapter(3).modes.Count(), 2);

  script.failIdentifierOf = 1;
  EXPECT_EQ(d3d.GetDriverInfo(), gfx::Result::InvalidCall);
  EXPECT_EQ(d3d.AdapterCount(), 1);
}

TEST_F(D3DTest, InitTriesHardwareThenSoftwareAndAnswersItsCodes) {
  constexpr uint32_t hardware = gfx::create::HardwareVertexProcessing | gfx::create::Multithreaded;
  constexpr uint32_t software = gfx::create::SoftwareVertexProcessing | gfx::create::Multithreaded;

  script.failHardware = true;
  EXPECT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
  EXPECT_EQ(script.createFlags, (std::vector<uint32_t>{hardware, software}));
  EXPECT_NE(d3d.Device(), nullptr);
  d3d.Shutdown();
  EXPECT_EQ(d3d.Device(), nullptr);

  script.createFlags.clear();
  script.failSoftware = true;
  EXPECT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kNoDevice);
  EXPECT_EQ(script.createFlags, (std::vector<uint32_t>{hardware, software}));
  EXPECT_EQ(d3d.Device(), nullptr);

  lv::D3D noSystem{[] { return std::unique_ptr<gfx::GraphicsSystem>(); }};
  EXPECT_EQ(noSystem.Init(gfx::NativeWindow{}, false), lv::D3D::kNoGraphicsSystem);
}

TEST_F(D3DTest, FullScreenIsMadeAtAnUnlistedSizeAndRefusedOnlyWhereItCannotBe) {
  ListModes();
  d3d.Shutdown();
  script.createFlags.clear();
  for (const lv::DisplayRequest& impossible : {lv::DisplayRequest{0, 1024, 768, 24, 60},
                                               lv::DisplayRequest{0, 16385, 768, 32, 60}}) {
    d3d.request = impossible;
    EXPECT_EQ(d3d.Init(gfx::NativeWindow{}, true), lv::D3D::kNoMatchingMode) << impossible.width;
    EXPECT_TRUE(script.createFlags.empty());
    EXPECT_EQ(d3d.Device(), nullptr);
  }

  d3d.request = {0, 1024, 768, 32, 60};
  ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, true), lv::D3D::kInitOk);
  EXPECT_FALSE(d3d.LastPresentParameters().windowed);
  EXPECT_EQ(d3d.LastPresentParameters().backBufferFormat, Format::X8R8G8B8);
  EXPECT_EQ(d3d.LastPresentParameters().fullScreenRefreshRate, 60u);
  EXPECT_EQ(d3d.BackBufferDesc().width, 1024u);
  d3d.Shutdown();

  // Not listed: made at the requested size, to be scaled to the screen.
  d3d.request = {0, 800, 600, 32, 75};
  ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, true), lv::D3D::kInitOk);
  EXPECT_FALSE(d3d.LastPresentParameters().windowed);
  EXPECT_EQ(d3d.LastPresentParameters().backBufferFormat, Format::X8R8G8B8);
  EXPECT_EQ(d3d.BackBufferDesc().width, 800u);
  EXPECT_EQ(d3d.BackBufferDesc().height, 600u);
  EXPECT_EQ(d3d.request.width, 800u);
}

TEST_F(D3DTest, WindowedInitMakesACopySwapDeviceClearedToBlack) {
  ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
  const gfx::PresentParameters& params = d3d.LastPresentParameters();
  EXPECT_TRUE(params.windowed);
  EXPECT_EQ(params.swapEffect, gfx::SwapEffect::Copy);
  EXPECT_TRUE(params.enableAutoDepthStencil);
  EXPECT_EQ(params.autoDepthStencilFormat, Format::D24S8);
  EXPECT_EQ(d3d.BackBufferDesc().width, 640u);
  EXPECT_EQ(d3d.BackBufferDesc().height, 480u);
  EXPECT_EQ(d3d.request.width, 640u);
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), d3d.BackBuffer(), 320, 240) & 0xFFFFFF, 0u);
  EXPECT_EQ(presented, (std::vector<uint32_t>{0}));
}

TEST_F(D3DTest, BeginFrameSetsTheFrameStatesAndLeavesZFunc) {
  ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
  gfx::Device* device = d3d.Device();
  using RS = gfx::RenderState;
  const std::pair<RS, uint32_t> odd[] = {
      {RS::AlphaFunc, uint32_t(gfx::Cmp::Less)},       {RS::SrcBlend, uint32_t(gfx::Blend::SrcAlpha)},
      {RS::DestBlend, uint32_t(gfx::Blend::InvSrcAlpha)}, {RS::AlphaBlendEnable, 1},
      {RS::AlphaTestEnable, 1},                          {RS::ZWriteEnable, 0},
      {RS::ZEnable, 0},                                  {RS::ZFunc, uint32_t(gfx::Cmp::Greater)},
      {RS::BlendOp, uint32_t(gfx::BlendOp::RevSubtract)},
  };
  for (auto [state, value] : odd) device->SetRenderState(state, value);

  d3d.BeginFrame();
  const std::pair<RS, uint32_t> expected[] = {
      {RS::AlphaFunc, uint32_t(gfx::Cmp::Always)}, {RS::SrcBlend, uint32_t(gfx::Blend::One)},
      {RS::DestBlend, uint32_t(gfx::Blend::Zero)}, {RS::AlphaBlendEnable, 0},
      {RS::AlphaTestEnable, 0},                    {RS::ZWriteEnable, 1},
      {RS::ZEnable, 1},                            {RS::ZFunc, uint32_t(gfx::Cmp::Greater)},
      {RS::BlendOp, uint32_t(gfx::BlendOp::Add)},
  };
  for (auto [state, value] : expected) {
    uint32_t actual = 0xFFFF;
    device->GetRenderState(state, &actual);
    EXPECT_EQ(actual, value) << "state " << static_cast<int>(state);
  }
  d3d.EndScene();
}

TEST_F(D3DTest, ThePictureStaysFromOneFrameToTheNext) {
  ASSERT_EQ(d3d.Init(gfx::NativeWindow{}, false), lv::D3D::kInitOk);
  d3d.BeginFrame();
  d3d.Device()->ColorFill(d3d.BackBuffer(), nullptr, 0xFF20A040);
  d3d.EndScene();
  d3d.Present();
  for (int frame = 0; frame < 2; ++frame) {
    d3d.BeginFrame();  // clears depth only
    d3d.EndScene();
    d3d.Present();
  }
  EXPECT_EQ(presented, (std::vector<uint32_t>{0, 0x20A040, 0x20A040, 0x20A040}));
  EXPECT_EQ(lvtest::ReadPixel(d3d.Device(), d3d.BackBuffer(), 5, 5) & 0xFFFFFF, 0x20A040u);
}

}  // namespace
