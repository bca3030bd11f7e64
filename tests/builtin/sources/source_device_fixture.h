#pragma once
// A real device with the program's host over it and a registry holding the
// built-in kinds, plus small image files written for the test.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "builtin_kinds.h"
#include "device_fixture.h"
#include "host/lorvane_host.h"
#include "registry/plug_registry.h"

namespace lvtest {

// A 24-bit BMP of 0xRRGGBB texels, rows top first.
inline void WriteBmp(const std::string& path, uint32_t w, uint32_t h, const std::vector<uint32_t>& rgb) {
  const uint32_t rowBytes = (w * 3 + 3) & ~3u;
  const uint32_t imageBytes = rowBytes * h;
  std::vector<uint8_t> file(54 + imageBytes, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) file[at + i] = uint8_t(v >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, uint32_t(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, w);
  put32(22, h);
  file[26] = 1;
  file[28] = 24;
  put32(34, imageBytes);
  for (uint32_t y = 0; y < h; ++y) {
    uint8_t* row = &file[54 + (h - 1 - y) * rowBytes];  // bottom row first
    for (uint32_t x = 0; x < w; ++x) {
      const uint32_t c = rgb[y * w + x];
      row[x * 3 + 0] = uint8_t(c);
      row[x * 3 + 1] = uint8_t(c >> 8);
      row[x * 3 + 2] = uint8_t(c >> 16);
    }
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
}

inline std::string TempPath(const std::string& name) { return testing::TempDir() + name; }

class SourceDeviceTest : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.GetTargetDesc(nullptr, true);
    host_.nonPow2Supported = true;
    builtin::RegisterBuiltinKinds(registry_);
    host_.registry = &registry_;
  }

  void TearDown() override {
    registry_.Clear();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // The pixels of a render-target texture's level 0.
  std::vector<uint32_t> ReadTexture(gfx::Texture* texture) {
    gfx::Ref<gfx::Surface> level;
    EXPECT_EQ(gfx::Result::Ok, texture->GetSurfaceLevel(0, level.put()));
    return level ? ReadBack(level.get()) : std::vector<uint32_t>{};
  }

  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  lv::PlugRegistry registry_{&host_};
};

}  // namespace lvtest
