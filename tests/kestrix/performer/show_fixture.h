#pragma once
// The show on a real device: the Performer with its render thread, the
// display's frame device, the program's host object and the Kestrix library
// with the test pattern source. A test fills bank 0, which channel 0 plays,
// and starts the render thread with Play.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "display/d3d.h"
#include "display/display_frame_device.h"
#include "host/lorvane_host.h"
#include "kestrix_library.h"
#include "lorvane_display_host.h"
#include "pattern_source.h"
#include "performer/performer.h"
#include "platform/gfx/graphics_system.h"
#include "platform/sys/clock.h"
#include "workbuffers/work_buffer.h"

// The display's frame device, counting the frames presented.
class CountingFrameDevice final : public lv::FrameDevice {
 public:
  explicit CountingFrameDevice(lv::FrameDevice& device) : device_(device) {}
  void BeginFrame() override { device_.BeginFrame(); }
  void EndScene() override { device_.EndScene(); }
  void Present() override {
    device_.Present();
    presents.fetch_add(1);
  }
  void SetRenderTarget(int target) override { device_.SetRenderTarget(target); }
  int WorkBufferCount() const override { return device_.WorkBufferCount(); }
  sys::CriticalSection& DeviceLock() override { return device_.DeviceLock(); }

  std::atomic<int> presents{0};

 private:
  lv::FrameDevice& device_;
};

class ShowOnDevice : public testing::Test {
 protected:
  void SetUp() override {
    d3d.request.width = 64;
    d3d.request.height = 48;
    ASSERT_EQ(lv::D3D::kInitOk, d3d.Init(gfx::NativeWindow{}, false)) << "no OpenGL 4.5 through EGL";
    displayHost.SetDevice(d3d.Device());
    displayHost.SetCurrentTarget(d3d.BackBuffer());
    displayHost.RefreshTargetDesc();
    host.mainWindow = &mainWindow;
    workBuffers.Connect(&displayHost, nullptr, nullptr);
    library = std::make_unique<KestrixLibrary>(&host);
    library->Registry().RegisterSourceKind(&patternKind, nullptr);
    host.registry = &library->Registry();
    performance->channelMask = 1;
    bank = performance->CreateBank(0);
    performance->SelectBank(0);
    performer.SetDevice(&countingDevice);
  }

  void TearDown() override {
    EXPECT_TRUE(performer.Stop());  // releases the patches' device objects
    library.reset();
    d3d.Shutdown();
  }

  // Hands the performance over, which makes the bank's device objects, and
  // starts the render thread in Live.
  void Play() {
    performer.SetPerformance(performance);
    performer.SetChannelMask(1);
    performer.SetState(lv::Live);
    ASSERT_TRUE(performer.Start());
  }

  // Note-ons through the ring, as the keyboard plays them; waits until the
  // render thread has started `playing` notes.
  void PlayNotes(int first, int count, int playing) {
    for (int note = first; note < first + count; ++note)
      performer.PushMidi({0x90u | uint32_t(note) << 8 | 100u << 16, sys::TimeMs()});
    while (performer.ActiveNoteCount() < playing) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  // Waits for `passes` more passes to be presented.
  void WaitForPasses(int passes) {
    const int target = countingDevice.presents.load() + passes;
    while (countingDevice.presents.load() < target) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }

  lv::D3D d3d{gfx::CreateGraphicsSystem};
  lv::LorvaneHost host{nullptr};
  app::LorvaneDisplayHost displayHost{host, nullptr};
  lv::WorkBufferTable workBuffers;
  lv::DisplayFrameDevice frameDevice{d3d, workBuffers, displayHost};
  CountingFrameDevice countingDevice{frameDevice};
  int mainWindow = 0;
  pattern::PatternKind patternKind;
  std::unique_ptr<KestrixLibrary> library;
  lv::Performer performer;
  lv::Performance* performance = new lv::Performance;  // the Performer deletes it
  lv::Bank* bank = nullptr;
};
