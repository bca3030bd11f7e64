#pragma once
// A Kestrix class drawn on a real 16 x 12 device through the program's host
// object, over "Pattern:", a source of four solid quadrants. The instance
// talks to the host through a steered host, so a test can set the MIDI clock
// and the audio spectrum; the pixels are read back after each frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "chunk_list.h"
#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"
#include "pattern_source.h"
#include "steered_host.h"

using gfx::test::Channel;
using gfx::test::ColorNear;

// Pixels well inside each quadrant of the 16 x 12 target.
struct Probe {
  int x, y, quadrant;
};
inline constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

inline uint32_t Argb(float r, float g, float b, float a = 1.0f) {
  auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// Colours only (the target's alpha is whatever blending left there).
inline bool Near(uint32_t actual, uint32_t expected, int tolerance = 2) {
  return ColorNear(actual | 0xFF000000u, expected | 0xFF000000u, tolerance);
}

inline float Unit(uint32_t argb, int channel) { return float(Channel(argb, channel)) / 255.0f; }

// Red, green and blue within `tolerance` of 0xRRGGBB (the target's alpha is
// not compared: blending writes it too).
inline ::testing::AssertionResult RgbNear(uint32_t actual, uint32_t expected, int tolerance) {
  for (int c = 0; c < 3; ++c) {
    if (std::abs(Channel(actual, c) - Channel(expected, c)) > tolerance) {
      char text[64];
      std::snprintf(text, sizeof text, "%08x is not near %06x", actual, expected);
      return ::testing::AssertionFailure() << text;
    }
  }
  return ::testing::AssertionSuccess();
}

class KestrixRender : public gfx::test::DeviceTest {
 protected:
  // The pattern's frame is the target's size unless a fixture asks for another.
  explicit KestrixRender(uint32_t patternWidth = kWidth, uint32_t patternHeight = kHeight)
      : patternWidth_(patternWidth), patternHeight_(patternHeight) {}

  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    pattern::frameWidth = patternWidth_;
    pattern::frameHeight = patternHeight_;
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
    other_.reset();
    library_.reset();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // A new instance of `kind` loaded from `chunks` (the option word first),
  // then "NAME" `sourceName` unless null, its device objects made.
  KestrixLibrary::PlugPtr MakePlug(const char* kind, std::vector<std::pair<std::string, std::string>> chunks,
                                   const char* sourceName = "Pattern:") {
    KestrixLibrary::PlugPtr plug = library_->Create(kind);
    EXPECT_NE(plug, nullptr);
    if (plug == nullptr) return plug;
    plug->host = &steered_;
    if (sourceName != nullptr) chunks.emplace_back("NAME", std::string(sourceName) + '\0');
    EXPECT_TRUE(LoadInto(*plug, ChunkList(chunks)));
    EXPECT_TRUE(plug->CreateDeviceObjects());
    return plug;
  }
  // plug_ over the pattern with the option word `options` and the chunks `more`.
  void Make(const char* kind, uint32_t options, std::vector<std::pair<std::string, std::string>> more = {}) {
    more.insert(more.begin(), {"FLAG", U32(options)});
    plug_ = MakePlug(kind, more);
    ASSERT_NE(plug_, nullptr);
  }

  void NoteOn(uint8_t velocity) {
    plug_->velocity = velocity;
    plug_->NoteOn();
  }

  // One frame `milliseconds` long over a target cleared to `background`
  // (depth to far): plug_, then other_ where there is one.
  std::vector<uint32_t> Frame(uint32_t background = 0xFF000000, uint32_t milliseconds = 16) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, background, 1.0f, 0);
    plug_->Render(milliseconds);
    if (other_ != nullptr) other_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  static uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  static int CountOf(const std::vector<uint32_t>& pixels, uint32_t colour) {
    return int(std::count(pixels.begin(), pixels.end(), colour));
  }

  uint32_t RenderState(gfx::RenderState state) {
    uint32_t value = 0xDEAD;
    device_->GetRenderState(state, &value);
    return value;
  }
  uint32_t SamplerState(gfx::SamplerState state) {
    uint32_t value = 0xDEAD;
    device_->GetSamplerState(0, state, &value);
    return value;
  }

  // What the frame loop expects after any class has drawn.
  void ExpectStatesRestored() {
    EXPECT_EQ(RenderState(gfx::RenderState::AlphaBlendEnable), 0u);
    EXPECT_EQ(RenderState(gfx::RenderState::ZWriteEnable), 1u);
  }

  FakePrompts prompts_;  // compiler boxes, should a text ever give one, stay here
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  SteeredHost steered_{host_};
  pattern::PatternKind patternKind_;
  std::unique_ptr<KestrixLibrary> library_;
  KestrixLibrary::PlugPtr plug_;
  KestrixLibrary::PlugPtr other_;  // drawn after plug_ in the same frame

 private:
  uint32_t patternWidth_, patternHeight_;
};

// The 3D effects and Plasma Life draw a square 16 x 16 pattern.
class SquarePatternRender : public KestrixRender {
 protected:
  SquarePatternRender() : KestrixRender(16, 16) {}
};
