#pragma once
// The frame loop's device over a real graphics device, drawing straight
// into the back buffer: each frame starts cleared to black.
#include <atomic>

#include "performer/frame_device.h"
#include "platform/gfx/device.h"

namespace lvtest {

class GfxFrameDevice : public lv::FrameDevice {
 public:
  explicit GfxFrameDevice(gfx::Device* device) : device_(device) { device_->GetBackBuffer(0, 0, backBuffer_.put()); }

  void BeginFrame() override {
    sys::CriticalSectionLock lock(lock_);
    device_->SetRenderTarget(0, backBuffer_.get());
    device_->Clear(0, nullptr, gfx::clear::Target, gfx::ColorArgb(255, 0, 0, 0), 1.0f, 0);
    device_->BeginScene();
  }
  void EndScene() override { device_->EndScene(); }
  void Present() override {
    device_->Present(nullptr, nullptr, gfx::NativeWindow{}, nullptr);
    ++presents;
  }
  void SetRenderTarget(int) override { device_->SetRenderTarget(0, backBuffer_.get()); }
  int WorkBufferCount() const override { return 0; }
  sys::CriticalSection& DeviceLock() override { return lock_; }

  gfx::Surface* BackBuffer() { return backBuffer_.get(); }

  std::atomic<int> presents{0};

 private:
  gfx::Device* device_;
  gfx::Ref<gfx::Surface> backBuffer_;
  sys::CriticalSection lock_;
};

}  // namespace lvtest
