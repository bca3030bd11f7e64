#pragma once
// A device that journals the frame loop's calls: "begin", "end", "present",
// "target:<n>".
#include <atomic>
#include <string>

#include "journal.h"
#include "performer/frame_device.h"

namespace lvtest {

class FakeFrameDevice : public lv::FrameDevice {
 public:
  explicit FakeFrameDevice(Journal* journal, int workBuffers = 2) : journal_(journal), workBuffers_(workBuffers) {}

  void BeginFrame() override {
    sys::CriticalSectionLock lock(lock_);
    ++begins;
    journal_->Add("begin");
  }
  void EndScene() override { journal_->Add("end"); }
  void Present() override {
    ++presents;
    journal_->Add("present");
  }
  void SetRenderTarget(int target) override { journal_->Add("target:" + std::to_string(target)); }
  int WorkBufferCount() const override { return workBuffers_; }
  sys::CriticalSection& DeviceLock() override { return lock_; }

  std::atomic<int> begins{0};
  std::atomic<int> presents{0};

 private:
  Journal* journal_;
  int workBuffers_;
  sys::CriticalSection lock_;
};

}  // namespace lvtest
