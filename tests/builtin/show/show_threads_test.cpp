// The capture device and a sampler as the program drives them from three
// threads: the device's streaming thread delivers frames; the render thread,
// pass by pass under the frame lock and between BeginScene and EndScene,
// records the capture source into a sampler ("Sample Video") and plays the
// sampler back; the user-interface thread, under the frame lock, releases
// and restores the display's surfaces (devices stop and start again, sampler
// frames go and come back) and flips the device. A watchdog ends the run
// within seconds if the threads stop moving.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "capture_frame_passes.h"
#include "device_fixture.h"
#include "host/lorvane_host.h"
#include "platform/sys/critical_section.h"
#include "progress_watchdog.h"
#include "registry/plug_registry.h"
#include "sampler/sample_video.h"
#include "show/program_show.h"

// The Mesa driver synchronises its worker threads with primitives
// ThreadSanitizer cannot see; its reports from inside the driver are not
// about our code.
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

namespace {

using builtin::CaptureDevice;
using builtin::Sampler;

constexpr std::chrono::milliseconds kRunFor{3000};

class ShowThreads : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(gfx::Result::Ok, device_->GetBackBuffer(0, 0, &backBuffer_));
    host.device = device_;
    host.registry = &registry;
    host.targetSurface = backBuffer_;
    backBuffer_->GetDesc(&host.targetDesc);
    bank.env = builtin::ProgramSamplerEnvironment(&host, &registrar);
    captures = std::make_unique<builtin::CaptureManager>(capture::CreateTestPatternSystem(),
                                                         builtin::ProgramCaptureEnvironment(&host, &registrar));
    captures->Initialize();
    show.SetCaptures(captures.get());
    device = static_cast<CaptureDevice*>(captures->Devices().Head());
    ASSERT_NE(device, nullptr);
    ASSERT_TRUE(device->Start());
    ASSERT_NE(nullptr, Sampler::Create(bank.samplers, bank.env, "Loop", 16, 16, gfx::Format::A8R8G8B8, 8, 1));
  }
  void TearDown() override {
    recorder.reset();
    player.reset();
    show.SetCaptures(nullptr);
    captures.reset();
    bank.samplers.DeleteAll();
    if (backBuffer_ != nullptr) backBuffer_->Release();
    DeviceTest::TearDown();
  }

  gfx::Surface* backBuffer_ = nullptr;
  lv::LorvaneHost host;
  lv::PlugRegistry registry;
  builtin::RegistryRegistrar<lv::PlugRegistry> registrar{registry};
  builtin::SamplerBank bank;
  sys::CriticalSection frameLock;
  builtin::ProgramShow show{bank, &frameLock};
  std::unique_ptr<builtin::CaptureManager> captures;
  CaptureDevice* device = nullptr;
  std::unique_ptr<builtin::SampleVideo> recorder;
  std::unique_ptr<lv::Source> player;
};

// TSAN: every path of the three threads meets the others' locks.
TEST_F(ShowThreads, RecordingAndPlayingACaptureSourceWhileTheDisplaysSurfacesComeAndGo) {
  recorder = std::make_unique<builtin::SampleVideo>(bank);
  recorder->host = &host;
  recorder->SetInputName(0, "Cap0-Test Pattern:");
  recorder->SetSamplerName("Loop");
  ASSERT_TRUE(recorder->CreateDeviceObjects());
  player.reset(host.CreateSource("Loop:", 0));
  ASSERT_NE(player, nullptr);
  ASSERT_TRUE(player->Attach(100));

  std::atomic<bool> stop{false};
  std::atomic<uint32_t> resets{0};
  lvtest::CaptureFramePasses frames(*device_, frameLock, *device);
  std::thread render = lvtest::Loop(stop, [&](int i) {
    frames.Pass([&] {
      // A new note every few passes starts the recording again.
      if (i % 12 == 0) recorder->NoteOn();
      recorder->Render(16);
      bool wrapped = false, fresh = false;
      player->Advance(16, &wrapped, &fresh);
    });
  });
  std::thread options = lvtest::Loop(stop, [&](int i) {
    if (i % 4 == 3) {
      // A display reset: each half under the frame lock.
      show.ReleaseSurfaces();
      show.RestoreSurfaces();
      resets.fetch_add(1);
    } else {
      sys::CriticalSectionLock hold(frameLock);
      device->SetFlip(i % 2 == 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
  });
  lvtest::WatchProgress(
      frames.passes, kRunFor, [&] { return frames.fresh.load() > 10 && resets.load() > 3; }, "frame drawn");
  stop = true;
  render.join();
  options.join();

  EXPECT_GT(frames.fresh.load(), 10u) << "frames were delivered while frames were drawn";
  const Sampler* loop = builtin::FindSampler(bank.samplers, "Loop");
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(8u, loop->Capacity()) << "the sampler's frames came back after each reset";
  EXPECT_GT(resets.load(), 3u);
  EXPECT_TRUE(device->Running()) << "the last reset started the device again";
  player->Detach();
}

}  // namespace
