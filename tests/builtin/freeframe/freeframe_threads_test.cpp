// A knob turned on another thread while frames are processed: every call
// into the plug-in instance is serialised (the instance is not thread-safe).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "device_fixture.h"
#include "fake_prompts.h"
#include "freeframe_fixture.h"
#include "host/lorvane_host.h"
#include "pattern_source.h"

// The Mesa driver synchronises its worker threads with primitives
// ThreadSanitizer cannot see; its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

class FreeFrameThreads : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(good_);
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host_.device = device_;
    host_.targetSurface = backBuffer_;
    host_.GetTargetDesc(nullptr, true);
    registry_.SetHost(&host_);
    registry_.RegisterSourceKind(&patternKind_, nullptr);
    host_.registry = &registry_;
    freeFrame_.LoadPlugins(kFreeFrameFolder, registry_);
  }
  void TearDown() override {
    freeFrame_.UnloadPlugins();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  LibraryRecord good_{"good"};
  FakePrompts prompts_;
  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host_{nullptr};
  pattern::PatternKind patternKind_;
  lv::PlugRegistry registry_;
  ff::FreeFrameHost freeFrame_;
};

TEST_F(FreeFrameThreads, KnobWhileRendering) {
  PlugPtr plug(registry_.CreatePlug(registry_.FindPlugKind(TestClassId("TINV"))));
  ASSERT_TRUE(plug);
  plug->SetInputName(0, "Pattern:");
  ASSERT_TRUE(plug->CreateDeviceObjects());
  plug->NoteOn();

  std::atomic<bool> done{false};
  std::thread knob([&] {
    char text[32];
    for (int32_t v = 0; !done.load(); v = (v + 1) % 1025) {
      plug->SetParam(0, v);
      plug->GetParam(0);
      plug->GetParamInfo(0)->format(v, text, plug.get(), 0);
    }
  });
  for (int frame = 0; frame < 20; ++frame) {
    ASSERT_EQ(gfx::Result::Ok, device_->BeginScene());
    plug->Render(16);
    ASSERT_EQ(gfx::Result::Ok, device_->EndScene());
  }
  done = true;
  knob.join();
  plug->SetParam(0, 256);
  plug->Render(16);
  EXPECT_EQ(good_->frameGain, 0.25f);
  plug.reset();
}

}  // namespace
