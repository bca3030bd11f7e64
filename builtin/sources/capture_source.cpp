#include "sources/capture_source.h"

#include <cstdio>
#include <new>

namespace builtin {

const lv::ClassId CaptureSource::kClassId = {0xA14FD5B5, 0x3B25, 0x494C,
                                              {0x9A, 0xC9, 0xA7, 0x4D, 0x92, 0x9B, 0x92, 0x4C}};

bool CaptureSource::Open(const char*) {
  CaptureFrameRenderer* renderer = device_.Renderer();
  gfx::Texture* texture = renderer != nullptr ? renderer->TargetTexture() : nullptr;
  if (texture == nullptr) return false;
  gfx::SurfaceDesc level;
  if (gfx::Failed(texture->GetLevelDesc(0, &level))) return false;
  SetFrame(level.width, level.height, uint32_t(level.format));
  return true;
}

gfx::Texture* CaptureSource::GetTexture() {
  CaptureFrameRenderer* renderer = device_.Renderer();
  if (renderer == nullptr) return nullptr;
  renderer->UpdateTexture();
  return renderer->TargetTexture();
}

bool CaptureSource::Advance(uint32_t, bool* wrapped, bool* newFrame) {
  if (wrapped != nullptr) *wrapped = false;
  CaptureFrameRenderer* renderer = device_.Renderer();
  bool fresh = false;
  if (renderer != nullptr) {
    const int64_t count = renderer->FrameCount();
    fresh = count != lastFrameCount_;
    lastFrameCount_ = count;
  }
  if (newFrame != nullptr) *newFrame = fresh;
  return true;
}

CaptureSourceDesc::CaptureSourceDesc(CaptureFeed& device) : device_(device) {
  const char* friendly = device.FriendlyName();
  std::snprintf(name_, sizeof name_, "Cap%d-%s", int(device.DeviceIndex()), friendly != nullptr ? friendly : "");
}

lv::Source* CaptureSourceDesc::Create() { return new (std::nothrow) CaptureSource(device_); }

}  // namespace builtin
