#pragma once
// The library's generators drawn on a real 16 x 12 device through the
// program's host object: no source, only the target.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "chunk_list.h"
#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"

class GeneratorRender : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.mainWindow = &mainWindow_;
    host_.GetTargetDesc(nullptr, true);
    library_ = std::make_unique<KestrixLibrary>(&host_);
    host_.registry = &library_->Registry();
  }

  void TearDown() override {
    plug_.reset();
    library_.reset();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // A new instance of `kind` with the option word `options`, its device
  // objects made.
  void Make(const char* kind, uint32_t options) {
    plug_ = library_->Create(kind);
    ASSERT_NE(plug_, nullptr);
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(options)}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
  }

  // One frame of `milliseconds`, over a target cleared to `background` unless
  // it is kept from the frame before.
  std::vector<uint32_t> Frame(uint32_t milliseconds, bool clear = true, uint32_t background = 0xFF000000) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    if (clear) device_->Clear(0, nullptr, gfx::clear::Target, background, 1.0f, 0);
    plug_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  uint32_t State(gfx::RenderState state) {
    uint32_t value = 0;
    device_->GetRenderState(state, &value);
    return value;
  }

  static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  FakePrompts prompts_;  // compiler boxes, should a text ever give one, stay here
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  std::unique_ptr<KestrixLibrary> library_;
  KestrixLibrary::PlugPtr plug_;
};

// Red, green and blue within `tolerance` of 0xRRGGBB (the target's alpha is
// not compared: the blends write it too).
inline ::testing::AssertionResult RgbNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int c = 0; c < 3; ++c) {
    if (std::abs(gfx::test::Channel(actual, c) - gfx::test::Channel(expected, c)) > tolerance) {
      char text[64];
      std::snprintf(text, sizeof text, "%08x is not near %06x", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}
