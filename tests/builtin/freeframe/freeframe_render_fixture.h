#pragma once
// A FreeFrame effect instance driven through the program's host on a real
// device, reading a source of four solid quadrants ("Pattern:").
#include <gtest/gtest.h>

#include "device_fixture.h"
#include "fake_prompts.h"
#include "freeframe_fixture.h"
#include "host/lorvane_host.h"
#include "pattern_source.h"

namespace ff::test {

class FreeFrameRender : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(good_) << "test library not built";
    pattern::frameWidth = kWidth;
    pattern::frameHeight = kHeight;
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.mainWindow = &mainWindow_;
    host_.GetTargetDesc(nullptr, true);
    registry_.SetHost(&host_);
    registry_.RegisterSourceKind(&patternKind_, nullptr);
    host_.registry = &registry_;
    freeFrame_.LoadPlugins(kFreeFrameFolder, registry_);
  }

  void TearDown() override {
    plug_.reset();
    freeFrame_.UnloadPlugins();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // An instance of the kind with unique id `id` reading the pattern.
  void Make(const char (&id)[5], const char* source = "Pattern:") {
    lv::PlugDesc* kind = registry_.FindPlugKind(TestClassId(id));
    ASSERT_NE(kind, nullptr);
    plug_ = PlugPtr(registry_.CreatePlug(kind));
    ASSERT_TRUE(plug_);
    plug_->SetInputName(0, source);
  }

  std::vector<uint32_t> Frame() {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target, 0xFF00FF00, 1.0f, 0);
    plug_->Render(16);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  LibraryRecord good_{"good"};
  FakePrompts prompts_;
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  pattern::PatternKind patternKind_;
  lv::PlugRegistry registry_;
  ff::FreeFrameHost freeFrame_;
  PlugPtr plug_;
};

}  // namespace ff::test
