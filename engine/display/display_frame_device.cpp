#include "display/display_frame_device.h"

#include "display/display_host.h"
#include "workbuffers/work_buffer.h"

namespace lv {

void DisplayFrameDevice::SetRenderTarget(int target) {
  sys::CriticalSectionLock lock(d3d_.DeviceLock());
  gfx::Surface* surface = d3d_.BackBuffer();
  if (WorkBuffer* buffer = workBuffers_.At(target); buffer != nullptr && buffer->surface != nullptr)
    surface = buffer->surface;
  if (gfx::Device* device = d3d_.Device(); device != nullptr && surface != nullptr) device->SetRenderTarget(0, surface);
  host_.SetCurrentTarget(surface);
}

int DisplayFrameDevice::WorkBufferCount() const { return workBuffers_.Count(); }

}  // namespace lv
