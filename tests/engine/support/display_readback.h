#pragma once
// Reads pixels of a render target back through a system-memory surface.
#include <cstring>

#include "platform/gfx/device.h"

namespace lvtest {

// 0xAARRGGBB of pixel (x, y) of an 8-bit-per-channel target; 0xDEADBEEF when
// it cannot be read.
inline uint32_t ReadPixel(gfx::Device* device, gfx::Surface* target, int x, int y) {
  gfx::SurfaceDesc desc;
  if (device == nullptr || target == nullptr || gfx::Failed(target->GetDesc(&desc))) return 0xDEADBEEF;
  gfx::Ref<gfx::Surface> copy;
  if (gfx::Failed(device->CreateOffscreenPlainSurface(desc.width, desc.height, desc.format, gfx::Pool::SystemMem,
                                                      copy.put())) ||
      gfx::Failed(device->GetRenderTargetData(target, copy.get())))
    return 0xDEADBEEF;
  gfx::LockedRect locked;
  if (gfx::Failed(copy->LockRect(&locked, nullptr, gfx::lock::ReadOnly))) return 0xDEADBEEF;
  uint32_t pixel;
  std::memcpy(&pixel, static_cast<const uint8_t*>(locked.bits) + y * locked.pitch + x * 4, 4);
  copy->UnlockRect();
  return pixel;
}

}  // namespace lvtest
