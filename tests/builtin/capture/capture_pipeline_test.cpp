#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "capture/capture_manager.h"
#include "capture/capture_section.h"
#include "capture/texture_renderer.h"
#include "chunk_bytes.h"
#include "device_fixture.h"
#include "host/lorvane_host.h"
#include "lv/memory_chunk_stream.h"
#include "registry/plug_registry.h"

// The Mesa driver synchronises its worker threads with its own futex-based
// primitives, which ThreadSanitizer cannot see (the driver is not built with
// it): its reports from inside the driver are not about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using builtin::CaptureDevice;
using builtin::RenderResult;
using builtin::TextureRenderer;
using capture::VideoFormat;

// Stands in for the capture source's descriptor: only its prefix matters here.
class PrefixKind final : public lv::SourceDesc {
 public:
  explicit PrefixKind(builtin::CaptureFeed& d) {
    std::snprintf(name_, sizeof name_, "Cap%d-%s", d.DeviceIndex(), d.FriendlyName());
  }
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &id_; }
  const char* GetCategory() override { return "Capture"; }
  const char* GetName() override { return "Video Capture"; }
  const char* GetDescription() override { return name_; }
  lv::Source* Create() override { return nullptr; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return true; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return name_; }

 private:
  lv::ClassId id_{};
  char name_[96];
};

VideoFormat Rgb32(uint32_t w, int32_t h) {
  VideoFormat f;
  f.width = w;
  f.height = h;
  f.compression = capture::kUncompressedRgb;
  f.bitCount = 32;
  f.imageSize = w * static_cast<uint32_t>(std::abs(h)) * 4;
  return f;
}

class CapturePipeline : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host.device = device_;
    host.registry = &registry;
    host.roundToNearestPow2 = true;
    env.host = &host;
    env.registrar = &registrar;
    env.makeKind = [](builtin::CaptureFeed& d) { return std::make_unique<PrefixKind>(d); };
  }
  void TearDown() override {
    manager.reset();
    DeviceTest::TearDown();
  }

  CaptureDevice& StartTestPattern() {
    manager = std::make_unique<builtin::CaptureManager>(capture::CreateTestPatternSystem(), env);
    manager->Initialize();
    auto* device = static_cast<CaptureDevice*>(manager->Devices().Head());
    EXPECT_TRUE(device->Start());
    return *device;
  }

  // Waits for the streaming thread to deliver a frame after `seen`.
  static void WaitForFrameAfter(builtin::CaptureFrameRenderer& r, uint32_t seen) {
    for (int i = 0; i < 2000 && r.FrameCount() <= seen; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_GT(r.FrameCount(), seen) << "the streaming thread delivered nothing";
  }

  std::vector<uint32_t> TargetPixels(TextureRenderer& r) {
    gfx::Surface* level = nullptr;
    EXPECT_EQ(gfx::Result::Ok, r.TargetTexture()->GetSurfaceLevel(0, &level));
    std::vector<uint32_t> pixels = ReadBack(level);
    level->Release();
    return pixels;
  }

  // One RGB32 frame of w x h whose row r is all `rows[r]`, rows `stride` bytes apart.
  static std::vector<uint8_t> RgbFrame(uint32_t w, const std::vector<uint32_t>& rows, uint32_t stride) {
    std::vector<uint8_t> bytes(stride * rows.size(), 0xEE);
    for (size_t r = 0; r < rows.size(); ++r)
      for (uint32_t x = 0; x < w; ++x) std::memcpy(&bytes[r * stride + x * 4], &rows[r], 4);
    return bytes;
  }

  lv::LorvaneHost host;
  lv::PlugRegistry registry;
  builtin::RegistryRegistrar<lv::PlugRegistry> registrar{registry};
  builtin::CaptureEnvironment env;
  std::unique_ptr<builtin::CaptureManager> manager;
};

TEST_F(CapturePipeline, TestPatternReachesTheTextureAsColourBars) {
  CaptureDevice& device = StartTestPattern();
  ASSERT_TRUE(device.Running());
  ASSERT_EQ(320u, device.Format()->width) << "the default 320 x 240 YUY2 format";
  EXPECT_NE(nullptr, registry.FindSourceKind("Cap0-Test Pattern:"));

  auto* renderer = device.GetTextureRenderer();
  WaitForFrameAfter(*renderer, 0);
  renderer->UpdateTexture();
  gfx::SurfaceDesc desc;
  renderer->TargetTexture()->GetLevelDesc(0, &desc);
  EXPECT_EQ(256u, desc.width);
  EXPECT_EQ(256u, desc.height);
  const std::vector<uint32_t> pixels = TargetPixels(*renderer);
  for (int bar = 0; bar < 4; ++bar) {
    const uint32_t x = 256 * (2 * bar + 1) / 8;
    EXPECT_TRUE(gfx::test::ColorNear(pixels[128 * 256 + x], 0xFF000000 | capture::kTestPatternBars[bar], 6))
        << "bar " << bar;
  }

  EXPECT_TRUE(device.Stop());
  EXPECT_EQ(nullptr, registry.FindSourceKind("Cap0-Test Pattern:"));
  EXPECT_EQ(nullptr, device.Renderer());
}

TEST_F(CapturePipeline, FlipReachesARunningRendererWithoutARestart) {
  CaptureDevice& device = StartTestPattern();
  TextureRenderer* renderer = device.GetTextureRenderer();
  EXPECT_FALSE(renderer->FlipInEffect());
  device.SetFlip(true);
  EXPECT_EQ(renderer, device.GetTextureRenderer());
  EXPECT_TRUE(renderer->FlipInEffect());
  // A new format restarts the device with the flip kept.
  device.SetFormat(device.FindFormat(640, 480, capture::kYuy2));
  ASSERT_TRUE(device.Running());
  EXPECT_TRUE(device.GetTextureRenderer()->FlipInEffect());
}

TEST_F(CapturePipeline, DisplayResetStopsRunningDevicesAndStartsThemAgain) {
  CaptureDevice& device = StartTestPattern();
  manager->ReleaseDevices();
  EXPECT_FALSE(device.Running());
  EXPECT_EQ(0, registry.SourceKindCount());
  manager->RestoreDevices();
  EXPECT_TRUE(device.Running());
  EXPECT_EQ(1, registry.SourceKindCount());
}

TEST_F(CapturePipeline, AcceptsOnlyPacked422AndRgb32) {
  TextureRenderer r(host);
  struct Case {
    uint32_t compression;
    uint16_t bits;
    RenderResult result;
  } cases[] = {{capture::kYuy2, 16, RenderResult::Ok},
               {capture::kYuyv, 16, RenderResult::Ok},
               {capture::kUyvy, 16, RenderResult::Ok},
               {capture::kUncompressedRgb, 32, RenderResult::Ok},
               {capture::kUncompressedRgb, 24, RenderResult::BadPixelFormat},
               {capture::FourCC('M', 'J', 'P', 'G'), 0, RenderResult::BadPixelFormat}};
  for (const Case& c : cases) {
    VideoFormat f = Rgb32(16, 16);
    f.compression = c.compression;
    f.bitCount = c.bits;
    EXPECT_EQ(c.result, r.CheckMediaType(&f)) << std::hex << c.compression;
  }
  EXPECT_EQ(RenderResult::NoType, r.CheckMediaType(nullptr));
  VideoFormat yuyv = Rgb32(16, 16);
  yuyv.compression = capture::kYuyv;
  yuyv.bitCount = 16;
  ASSERT_TRUE(r.SetMediaType(yuyv));
  EXPECT_EQ(gfx::Format::YUY2, r.SampleFormat());
}

TEST_F(CapturePipeline, TargetTextureFollowsTheHostsPowerOfTwoRounding) {
  struct Case {
    bool nearest;
    uint32_t width, height;
  } cases[] = {{true, 512, 512}, {false, 1024, 512}};
  for (const Case& c : cases) {
    host.roundToNearestPow2 = c.nearest;
    TextureRenderer r(host);
    VideoFormat f = Rgb32(640, 480);
    f.compression = capture::kYuy2;
    f.bitCount = 16;
    ASSERT_TRUE(r.SetMediaType(f));
    gfx::SurfaceDesc desc;
    r.TargetTexture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(c.width, desc.width);
    EXPECT_EQ(c.height, desc.height);
    EXPECT_EQ(gfx::Format::A8R8G8B8, desc.format);
  }
}

TEST_F(CapturePipeline, RowsAreCopiedAtTheirStrideAndTurnedByNaturalOrderOrTheFlip) {
  const uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
  // Row 0 red, row 1 blue, rows 20 bytes apart (4 bytes of padding).
  const std::vector<uint8_t> bytes = RgbFrame(4, {kRed, kBlue}, 20);
  struct Case {
    int32_t height;  // positive: bottom row first
    bool flip;
    uint32_t top;
  } cases[] = {// The setting never undoes the flip a bottom-up frame needs.
               {2, false, kBlue}, {2, true, kBlue}, {-2, false, kRed}, {-2, true, kBlue}};
  for (const Case& c : cases) {
    TextureRenderer r(host);
    r.SetFlip(c.flip);
    ASSERT_TRUE(r.SetMediaType(Rgb32(4, c.height)));
    const capture::Frame frame{bytes.data(), 40, 20};
    ASSERT_EQ(RenderResult::Ok, r.DoRenderSample(&frame));
    r.UpdateTexture();
    const std::vector<uint32_t> pixels = TargetPixels(r);
    EXPECT_EQ(c.top & 0xFFFFFF, pixels[0] & 0xFFFFFF) << "height " << c.height << " flip " << c.flip;
    EXPECT_EQ((c.top == kRed ? kBlue : kRed) & 0xFFFFFF, pixels[4] & 0xFFFFFF);
  }
}

TEST_F(CapturePipeline, ShortSamplesAreDroppedAndTheLastOfManyIsShown) {
  TextureRenderer r(host);
  ASSERT_TRUE(r.SetMediaType(Rgb32(4, -2)));
  std::vector<std::vector<uint8_t>> frames;
  for (uint32_t i = 0; i < 10; ++i) frames.push_back(RgbFrame(4, {0xFF000000 | (i * 20), 0xFF000000 | (i * 20)}, 16));
  for (const auto& f : frames) {
    const capture::Frame frame{f.data(), 32, 16};
    EXPECT_EQ(RenderResult::Ok, r.DoRenderSample(&frame));
  }
  EXPECT_EQ(10u, r.FrameCount());
  r.UpdateTexture();
  EXPECT_EQ(180u, TargetPixels(r)[0] & 0xFF);

  const std::vector<uint8_t> other = RgbFrame(4, {0xFF00FF00, 0xFF00FF00}, 16);
  const capture::Frame cut{other.data(), 31, 16};
  const capture::Frame narrow{other.data(), 32, 8};
  EXPECT_EQ(RenderResult::ShortSample, r.DoRenderSample(&cut));
  EXPECT_EQ(RenderResult::ShortSample, r.DoRenderSample(&narrow));
  EXPECT_EQ(RenderResult::NoSample, r.DoRenderSample(nullptr));
  EXPECT_EQ(13u, r.FrameCount());
  r.UpdateTexture();
  EXPECT_EQ(180u, TargetPixels(r)[0] & 0xFF) << "a dropped sample leaves the picture";
}

TEST_F(CapturePipeline, CaptSectionIsWrittenByteExactAndStartsTheDeviceWhenRead) {
  CaptureDevice& device = StartTestPattern();
  device.SetFlip(true);
  ASSERT_TRUE(builtin::HasCaptureSection(device));
  lv::MemoryChunkStream out;
  ASSERT_TRUE(builtin::WriteCaptureSection(device, out));
  std::vector<uint8_t> expected;
  captest::PutTextChunk(expected, "DEVI", "Test Pattern");
  captest::PutU32Chunk(expected, "XRES", 320);
  captest::PutU32Chunk(expected, "YRES", 240);
  captest::PutU32Chunk(expected, "FRCC", capture::kYuy2);
  captest::PutU32Chunk(expected, "FLIP", 1);
  captest::PutEnd(expected);
  const std::vector<uint8_t> written(out.Buffer(), out.Buffer() + out.Tell());
  ASSERT_EQ(expected, written);

  manager->StopAll();
  device.SetFlip(false);
  device.SetFormat(device.FindFormat(640, 480, capture::kYuy2));
  lv::MemoryChunkStream in;
  in.Attach(written.data(), static_cast<int32_t>(written.size()));
  builtin::ReadCaptureSection(*manager, in);
  EXPECT_TRUE(device.Running());
  EXPECT_EQ(320u, device.Format()->width);
  EXPECT_TRUE(device.Flip());
}

TEST_F(CapturePipeline, CaptSectionForAnAbsentDeviceOrFormatStartsNothing) {
  CaptureDevice& device = StartTestPattern();
  manager->StopAll();
  struct Case {
    const char* name;
    uint32_t width;
  } cases[] = {{"No Such Camera", 320}, {"Test Pattern", 800}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    captest::PutTextChunk(bytes, "DEVI", c.name);
    captest::PutU32Chunk(bytes, "XRES", c.width);
    captest::PutU32Chunk(bytes, "YRES", 240);
    captest::PutU32Chunk(bytes, "FRCC", capture::kYuy2);
    captest::PutEnd(bytes);
    lv::MemoryChunkStream in;
    in.Attach(bytes.data(), static_cast<int32_t>(bytes.size()));
    builtin::ReadCaptureSection(*manager, in);
    EXPECT_FALSE(device.Running()) << c.name;
  }
}

// TSAN: the streaming thread copies while the render thread converts and the
// user-interface thread flips.
TEST_F(CapturePipeline, StreamingAndRenderThreadsShareTheStagingSurface) {
  CaptureDevice& device = StartTestPattern();
  auto* renderer = device.GetTextureRenderer();
  std::thread render([&] {
    for (uint32_t seen = 0; seen < 6;) {
      renderer->UpdateTexture();
      seen = renderer->FrameCount();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  for (int i = 0; i < 50; ++i) {
    device.SetFlip(i % 2 == 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  render.join();
  EXPECT_TRUE(device.Stop());
}

}  // namespace
