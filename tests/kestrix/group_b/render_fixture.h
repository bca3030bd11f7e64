#pragma once
// A real device with the program's host object and the library loaded, and
// the four-quadrant pattern as the source every effect draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "chunk_list.h"
#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"
#include "pattern_source.h"

namespace group_b {

using gfx::test::Channel;
using gfx::test::ColorNear;

// Every comparison allows this much per 8-bit channel.
inline constexpr int kTolerance = 2;

// The target's size (and the pattern's, unless a test changes it).
inline constexpr int kWidthPixels = 16;
inline constexpr int kHeightPixels = 12;

// Pixels well inside each quadrant of the 16 x 12 target.
struct Probe {
  int x, y, quadrant;
};
inline constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

inline uint32_t Argb(float r, float g, float b, float a = 1.0f) {
  auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

inline float Unit(uint32_t argb, int channel) { return float(Channel(argb, channel)) / 255.0f; }

class RenderTest : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    pattern::frameWidth = kWidth;
    pattern::frameHeight = kHeight;
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.mainWindow = &mainWindow_;
    host_.GetTargetDesc(nullptr, true);
    library_ = std::make_unique<KestrixLibrary>(&host_);
    library_->Registry().RegisterSourceKind(&patternKind_, nullptr);
    host_.registry = &library_->Registry();
  }

  void TearDown() override {
    plug_.reset();
    library_.reset();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // A new instance of `kind` over the pattern with the option word `options`,
  // its device objects made.
  void Make(const char* kind, uint32_t options) {
    plug_ = library_->Create(kind);
    ASSERT_NE(plug_, nullptr);
    ASSERT_TRUE(LoadInto(*plug_, ChunkList({{"FLAG", U32(options)}, {"NAME", std::string("Pattern:", 9)}})));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
  }

  void NoteOn(uint8_t velocity) {
    plug_->velocity = velocity;
    plug_->NoteOn();
  }

  // One frame of `milliseconds` over a target cleared to `background`.
  std::vector<uint32_t> Frame(uint32_t background = 0xFF000000, uint32_t milliseconds = 16) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target, background, 1.0f, 0);
    plug_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  // What the frame loop expects after any effect has drawn.
  void ExpectStatesRestored() {
    uint32_t blending = 1, depthWrites = 0;
    device_->GetRenderState(gfx::RenderState::AlphaBlendEnable, &blending);
    device_->GetRenderState(gfx::RenderState::ZWriteEnable, &depthWrites);
    EXPECT_EQ(blending, 0u);
    EXPECT_EQ(depthWrites, 1u);
  }

  FakePrompts prompts_;  // compiler boxes, should a text ever give one, stay here
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  pattern::PatternKind patternKind_;
  std::unique_ptr<KestrixLibrary> library_;
  KestrixLibrary::PlugPtr plug_;
};

}  // namespace group_b
