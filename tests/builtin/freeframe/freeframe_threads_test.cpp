// A knob turned on another thread while frames are processed: every call
// into the plug-in instance is serialised (the instance is not thread-safe).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "freeframe_render_fixture.h"

// The Mesa driver synchronises its worker threads with primitives
// ThreadSanitizer cannot see; its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using FreeFrameThreads = ff::test::FreeFrameRender;

TEST_F(FreeFrameThreads, KnobWhileRendering) {
  ASSERT_NO_FATAL_FAILURE(Make("TINV"));
  PlugPtr& plug = plug_;
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
