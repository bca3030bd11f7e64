#pragma once
// This group's effects drawn on a real 16 x 12 device through the program's
// host object, over a source of four solid quadrants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chunk_list.h"
#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"
#include "pattern_source.h"

namespace group_a {

using gfx::test::Channel;
using gfx::test::ColorNear;

// Every comparison allows this much per 8-bit channel.
inline constexpr int kTolerance = 2;

// The target's alpha is whatever blending left there: colours only.
inline bool Near(uint32_t actual, uint32_t expected, int tolerance = kTolerance) {
  return ColorNear(actual | 0xFF000000u, expected | 0xFF000000u, tolerance);
}

// Pixels well inside each quadrant of the target.
struct Probe {
  int x, y, quadrant;
};
inline constexpr Probe kProbes[] = {{3, 2, 0}, {12, 2, 1}, {3, 9, 2}, {12, 9, 3}};

struct Rgb {
  float r, g, b;
};

inline Rgb Unpack(uint32_t argb) {
  return {float(Channel(argb, 2)) / 255.0f, float(Channel(argb, 1)) / 255.0f, float(Channel(argb, 0)) / 255.0f};
}

inline uint32_t Argb(Rgb c, float a = 1.0f) {
  auto byte = [](float v) { return uint32_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
  return byte(a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// `over` blended onto `under` with opacity a.
inline uint32_t Mix(uint32_t under, uint32_t over, float a) {
  const Rgb u = Unpack(under), o = Unpack(over);
  return Argb({u.r + (o.r - u.r) * a, u.g + (o.g - u.g) * a, u.b + (o.b - u.b) * a});
}

using Plug = KestrixLibrary::PlugPtr;

// "Framebuffer:" for the drawing tests: one solid colour of the target's
// size, standing for the picture drawn so far.
inline uint32_t framebufferColour = 0xFF6080A0;

class SolidSource final : public lv::Source {
 public:
  ~SolidSource() override { ReleaseDeviceObjects(); }
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kId; }
  uint8_t SetOption0(uint8_t v) override { return v; }
  uint8_t SetOption1(uint8_t v) override { return v; }
  uint8_t SetOption2(uint8_t v) override { return v; }
  bool Open(const char*) override {
    texture_ = host->CreateTexture(16, 12, gfx::Format::A8R8G8B8, gfx::usage::None, gfx::Pool::Managed);
    gfx::LockedRect locked;
    if (texture_ == nullptr || gfx::Failed(texture_->LockRect(0, &locked, nullptr, gfx::lock::Discard))) return false;
    for (uint32_t y = 0; y < 12; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
      for (uint32_t x = 0; x < 16; ++x) row[x] = framebufferColour;
    }
    texture_->UnlockRect(0);
    return true;
  }
  bool GetInfo(lv::SourceInfo* info) override {
    *info = {};
    info->width = 16;
    info->height = 12;
    return true;
  }
  void SetVolume(int32_t) override {}
  void SetPan(int32_t) override {}
  bool Attach(uint8_t) override { return true; }
  gfx::Texture* GetTexture() override { return texture_; }
  const float* GetTexelOffset() override { return kRect; }
  void Detach() override {}
  void ReleaseDeviceObjects() override {
    if (texture_ != nullptr) texture_->Release();
    texture_ = nullptr;
  }
  void Restart() override {}
  bool Advance(uint32_t, bool* wrapped, bool* newFrame) override {
    *wrapped = false;
    *newFrame = true;
    return true;
  }

  static constexpr lv::ClassId kId{0x5011D, 1, 2, {3, 4, 5, 6, 7, 8, 9, 11}};
  static constexpr float kRect[4] = {0.5f / 16, 0.5f / 12, 1 + 0.5f / 16, 1 + 0.5f / 12};

 private:
  gfx::Texture* texture_ = nullptr;
};

class FramebufferKind final : public lv::SourceDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &SolidSource::kId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Framebuffer"; }
  const char* GetDescription() override { return "One solid colour"; }
  lv::Source* Create() override { return new SolidSource; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return "Framebuffer"; }
};

class Render : public gfx::test::DeviceTest {
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
    library_->Registry().RegisterSourceKind(&framebufferKind_, nullptr);
    host_.registry = &library_->Registry();
  }

  void TearDown() override {
    plug_.reset();
    other_.reset();
    library_.reset();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // A new instance of `kind` over the pattern, loaded from `chunks` (the
  // option word first), its device objects made.
  Plug MakePlug(const char* kind, std::vector<std::pair<std::string, std::string>> chunks) {
    Plug plug = library_->Create(kind);
    EXPECT_NE(plug, nullptr);
    if (plug == nullptr) return plug;
    chunks.emplace_back("NAME", std::string("Pattern:", 9));
    EXPECT_TRUE(LoadInto(*plug, ChunkList(chunks)));
    EXPECT_TRUE(plug->CreateDeviceObjects());
    return plug;
  }
  void Make(const char* kind, uint32_t options, std::vector<std::pair<std::string, std::string>> more = {}) {
    more.insert(more.begin(), {"FLAG", U32(options)});
    plug_ = MakePlug(kind, more);
    ASSERT_NE(plug_, nullptr);
  }

  void NoteOn(uint8_t velocity) {
    plug_->velocity = velocity;
    plug_->NoteOn();
  }

  // One frame `ms` long over a target cleared to `background` (depth to far).
  std::vector<uint32_t> Frame(uint32_t background = 0xFF000000, uint32_t ms = 16) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, background, 1.0f, 0);
    plug_->Render(ms);
    if (other_ != nullptr) other_->Render(ms);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) { return pixels[size_t(y) * kWidth + x]; }

  uint32_t RenderState(gfx::RenderState state) {
    uint32_t value = 0xDEAD;
    device_->GetRenderState(state, &value);
    return value;
  }

  FakePrompts prompts_;
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  pattern::PatternKind patternKind_;
  FramebufferKind framebufferKind_;
  std::unique_ptr<KestrixLibrary> library_;
  Plug plug_;
  Plug other_;  // drawn after plug_ in the same frame
};

}  // namespace group_a
