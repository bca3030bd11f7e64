// Glow Source over the test-pattern capture device, drawn frame after frame
// (each between BeginScene and EndScene, under a frame lock) while the
// device's streaming thread delivers frames into its renderer and a third
// thread flips and restarts the device under the frame lock, as the Options
// sheet and a project load do. A watchdog ends the run within seconds if the
// threads stop moving: a deadlock fails the test, it never hangs the suite.
#include <atomic>
#include <chrono>
#include <thread>

#include "capture/capture_manager.h"
#include "capture_frame_passes.h"
#include "kinds/source_kind_registrar.h"
#include "platform/sys/critical_section.h"
#include "progress_watchdog.h"
#include "render_fixture.h"
#include "show/program_show.h"

// The Mesa driver synchronises its worker threads with primitives
// ThreadSanitizer cannot see; its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

constexpr std::chrono::milliseconds kRunFor{3000};

class GlowOverCapture : public KestrixRender {
 protected:
  void SetUp() override {
    KestrixRender::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    registrar_ = std::make_unique<builtin::RegistryRegistrar<lv::PlugRegistry>>(library_->Registry());
    captures_ = std::make_unique<builtin::CaptureManager>(
        capture::CreateTestPatternSystem(), builtin::ProgramCaptureEnvironment(&host_, registrar_.get()));
    captures_->Initialize();
    device = static_cast<builtin::CaptureDevice*>(captures_->Devices().Head());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->Start());
    // Stretched, with the source drawn under the glow.
    plug_ = MakePlug("Glow Source", {{"FLAG", U32(0x08F)}}, "Cap0-Test Pattern:");
    ASSERT_NE(plug_, nullptr);
  }
  void TearDown() override {
    plug_.reset();  // its capture source reads the device
    captures_.reset();
    KestrixRender::TearDown();
  }

  std::unique_ptr<builtin::RegistryRegistrar<lv::PlugRegistry>> registrar_;
  std::unique_ptr<builtin::CaptureManager> captures_;
  builtin::CaptureDevice* device = nullptr;
  sys::CriticalSection frameLock;
};

// TSAN: the streaming thread copies frames while the render thread, holding
// the device for its frame, converts them; the third thread restarts the
// device and flips it between passes.
TEST_F(GlowOverCapture, FramesArriveWhileTheRenderThreadDrawsTheCaptureSource) {
  NoteOn(100);
  std::atomic<bool> stop{false};
  std::atomic<uint32_t> changes{0};
  const auto draw = [&] {
    device_->Clear(0, nullptr, gfx::clear::Target | gfx::clear::ZBuffer, 0xFF000000, 1.0f, 0);
    plug_->Render(16);
  };
  lvtest::CaptureFramePasses frames(*device_, frameLock, *device);
  frames.WarmUp(draw);
  ASSERT_FALSE(HasFatalFailure());
  std::thread render = lvtest::Loop(stop, [&](int) { frames.Pass(draw); });
  std::thread options = lvtest::Loop(stop, [&](int i) {
    {
      sys::CriticalSectionLock hold(frameLock);
      if (i % 8 == 7)
        device->SetFormat(device->Format());  // a restart on the same format
      else
        device->SetFlip(i % 2 == 0);
    }
    changes.fetch_add(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  });
  lvtest::WatchProgress(
      frames.passes, kRunFor, [&] { return frames.fresh.load() > 10 && changes.load() > 8; }, "frame drawn");
  stop = true;
  render.join();
  options.join();

  EXPECT_GT(frames.fresh.load(), 10u) << "frames were delivered while frames were drawn";
  EXPECT_GT(changes.load(), 8u) << "the device was flipped and restarted meanwhile";
  EXPECT_TRUE(device->Running());
  ExpectStatesRestored();
}

}  // namespace
