#pragma once
// The group's effects drawn on a real device through the program's host
// object, over a source of four solid quadrants whose last opened instance
// the test can watch.
#include <gtest/gtest.h>

#include <memory>

#include "chunk_list.h"
#include "device_fixture.h"
#include "fake_prompts.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"
#include "pattern_source.h"
#include "steered_host.h"

// "Watched:" opens a pattern and keeps a pointer to it while it lives.
class WatchedPatternKind final : public lv::SourceDesc {
 public:
  int32_t GetKind() override { return 1; }
  const lv::ClassId* GetClassId() override { return &kId; }
  const char* GetCategory() override { return "Test"; }
  const char* GetName() override { return "Watched"; }
  const char* GetDescription() override { return "Four solid quadrants"; }
  lv::Source* Create() override { return last = new pattern::PatternSource; }
  bool IsFileBased() override { return false; }
  bool IsAnimated() override { return false; }
  int32_t NumExtensions() override { return 0; }
  const char* Extension(int32_t) override { return nullptr; }
  const char* GetPrefix() override { return "Watched"; }

  static constexpr lv::ClassId kId{0x7E57AB1F, 1, 2, {3, 4, 5, 6, 7, 8, 9, 11}};
  pattern::PatternSource* last = nullptr;
};

class GroupRender : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    pattern::frameWidth = 16;
    pattern::frameHeight = 16;
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    realHost_.device = device_;
    realHost_.targetSurface = backBuffer_;
    realHost_.mainWindow = &mainWindow_;
    realHost_.GetTargetDesc(nullptr, true);
    library_ = std::make_unique<KestrixLibrary>(&realHost_);
    library_->Registry().RegisterSourceKind(&watchedKind_, nullptr);
    realHost_.registry = &library_->Registry();
  }

  void TearDown() override {
    plug_.reset();
    library_.reset();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  // A new instance of `kind` over the watched pattern with the option word
  // `options` and the extra chunks, its device objects made.
  void Make(const char* kind, uint32_t options, std::vector<std::pair<std::string, std::string>> chunks = {}) {
    plug_ = library_->Create(kind);
    ASSERT_NE(plug_, nullptr);
    plug_->host = &host_;
    chunks.insert(chunks.begin(), {{"FLAG", U32(options)}, {"NAME", std::string("Watched:", 9)}});
    ASSERT_TRUE(LoadInto(*plug_, ChunkList(chunks)));
    ASSERT_TRUE(plug_->CreateDeviceObjects());
  }

  void NoteOn(uint8_t velocity) {
    plug_->velocity = velocity;
    plug_->NoteOn();
  }

  // One frame of `milliseconds` over a target cleared to `background`.
  std::vector<uint32_t> Frame(uint32_t background = 0xFF00FF00, uint32_t milliseconds = 16) {
    EXPECT_EQ(gfx::Result::Ok, device_->BeginScene());
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, background, 1.0f, 0);
    plug_->Render(milliseconds);
    EXPECT_EQ(gfx::Result::Ok, device_->EndScene());
    return ReadBackBuffer();
  }

  static int CountOf(const std::vector<uint32_t>& pixels, uint32_t colour) {
    return int(std::count(pixels.begin(), pixels.end(), colour));
  }

  uint32_t RenderState(gfx::RenderState state) {
    uint32_t value = 0;
    device_->GetRenderState(state, &value);
    return value;
  }
  uint32_t SamplerState(gfx::SamplerState state) {
    uint32_t value = 0;
    device_->GetSamplerState(0, state, &value);
    return value;
  }

  FakePrompts prompts_;
  int mainWindow_ = 0;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost realHost_{nullptr};
  SteeredHost host_{realHost_};
  WatchedPatternKind watchedKind_;
  std::unique_ptr<KestrixLibrary> library_;
  KestrixLibrary::PlugPtr plug_;
};
