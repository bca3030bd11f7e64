#include "render/device_frame_grabber.h"

#include <cstring>

namespace lv {
namespace {

// Formats whose memory bytes are blue, green, red, unused: what the caller
// receives, so their rows are copied out as they lie.
bool IsBgrx(gfx::Format format) { return format == gfx::Format::X8R8G8B8 || format == gfx::Format::A8R8G8B8; }

}  // namespace

void DeviceFrameGrabber::SetDevice(gfx::Device* device) {
  if (device == device_) return;
  ReleaseCopies();
  device_ = device;
}

void DeviceFrameGrabber::ReleaseCopies() {
  ReturnBackBuffer();
  scaled_ = {};
  systemCopy_ = {};
  copiedFrom_ = {};
  copyWidth_ = 0;
  copyHeight_ = 0;
}

FrameGrab DeviceFrameGrabber::MakeCopies(const gfx::SurfaceDesc& source, uint32_t width, uint32_t height) {
  if (systemCopy_ && copyWidth_ == width && copyHeight_ == height && copiedFrom_.width == source.width &&
      copiedFrom_.height == source.height && copiedFrom_.format == source.format)
    return FrameGrab::Copied;
  ReleaseCopies();
  const gfx::Format format = IsBgrx(source.format) ? source.format : gfx::Format::X8R8G8B8;
  // A back buffer of the frame's own size and layout is read back directly;
  // any other is scaled on the device first, so the frame is always
  // width x height whatever the display's size.
  const bool direct = source.width == width && source.height == height && format == source.format;
  if (!direct && gfx::Failed(device_->CreateRenderTarget(width, height, format, scaled_.put())))
    return FrameGrab::NoTargetSurface;
  if (gfx::Failed(device_->CreateOffscreenPlainSurface(width, height, format, gfx::Pool::SystemMem,
                                                       systemCopy_.put()))) {
    ReleaseCopies();
    return FrameGrab::ReadBackFailed;
  }
  copiedFrom_ = source;
  copyWidth_ = width;
  copyHeight_ = height;
  return FrameGrab::Copied;
}

FrameGrab DeviceFrameGrabber::LendBackBuffer(int width, int height, FrameView* view) {
  ReturnBackBuffer();
  if (device_ == nullptr || width <= 0 || height <= 0) return FrameGrab::NoTargetSurface;
  gfx::Ref<gfx::Surface> backBuffer;
  if (gfx::Failed(device_->GetBackBuffer(0, 0, backBuffer.put()))) return FrameGrab::ScaleFailed;
  gfx::SurfaceDesc source;
  if (gfx::Failed(backBuffer->GetDesc(&source))) return FrameGrab::ScaleFailed;

  const FrameGrab made = MakeCopies(source, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  if (made != FrameGrab::Copied) return made;

  gfx::Surface* readFrom = backBuffer.get();
  if (scaled_) {
    if (gfx::Failed(device_->StretchRect(backBuffer.get(), nullptr, scaled_.get(), nullptr, gfx::Filter::Linear)))
      return FrameGrab::ScaleFailed;
    readFrom = scaled_.get();
  }
  if (gfx::Failed(device_->GetRenderTargetData(readFrom, systemCopy_.get()))) return FrameGrab::ReadBackFailed;

  gfx::LockedRect locked;
  if (gfx::Failed(systemCopy_->LockRect(&locked, nullptr, gfx::lock::ReadOnly))) return FrameGrab::LockFailed;
  locked_ = true;
  if (locked.bits == nullptr) {
    ReturnBackBuffer();
    return FrameGrab::LockFailed;
  }
  // Surfaces lock top row first, as the caller wants them.
  *view = {static_cast<const uint8_t*>(locked.bits), locked.pitch};
  return FrameGrab::Copied;
}

void DeviceFrameGrabber::ReturnBackBuffer() {
  if (locked_ && systemCopy_) systemCopy_->UnlockRect();
  locked_ = false;
}

FrameGrab DeviceFrameGrabber::CopyBackBuffer(uint8_t* pixels, int width, int height, int pitch) {
  if (pixels == nullptr || pitch < width * 4) return FrameGrab::NoTargetSurface;
  FrameView view;
  const FrameGrab grabbed = LendBackBuffer(width, height, &view);
  if (grabbed != FrameGrab::Copied) return grabbed;
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  // Each side keeps its own row pitch.
  for (int y = 0; y < height; ++y)
    std::memcpy(pixels + static_cast<size_t>(y) * pitch, view.pixels + static_cast<size_t>(y) * view.pitch, rowBytes);
  ReturnBackBuffer();
  return FrameGrab::Copied;
}

}  // namespace lv
