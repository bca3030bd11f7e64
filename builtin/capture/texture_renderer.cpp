#include "capture/texture_renderer.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "capture/capture_log.h"
#include "platform/gfx/device.h"

namespace builtin {

// The streaming thread has ended before the renderer goes (the device stops
// it first); the surfaces' release takes the device lock, never ours.
TextureRenderer::~TextureRenderer() { ReleaseSurfaces(); }

void TextureRenderer::ReleaseSurfaces() {
  if (staging_) staging_->Release();
  if (target_) target_->Release();
  staging_ = nullptr;
  target_ = nullptr;
}

RenderResult TextureRenderer::CheckMediaType(const capture::VideoFormat* format) {
  if (!format) return RenderResult::NoType;
  char text[5];
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((format->compression >> (8 * i)) & 0xFF);
    text[i] = std::isprint(static_cast<unsigned char>(c)) ? c : '.';
  }
  text[4] = '\0';
  CaptureLog("CheckMediaType: Subtype 0x%08x (%s)", format->compression, text);
  if (format->compression == capture::kUncompressedRgb && format->bitCount == 32) return RenderResult::Ok;
  if (format->compression == capture::kUyvy) return RenderResult::Ok;
  if (format->compression == capture::kYuy2 || format->compression == capture::kYuyv) return RenderResult::Ok;
  return RenderResult::BadPixelFormat;
}

bool TextureRenderer::SetMediaType(const capture::VideoFormat& format) {
  const bool rgb = format.compression == capture::kUncompressedRgb;
  const uint32_t height = static_cast<uint32_t>(std::abs(format.height));
  const uint32_t rowLength = (static_cast<uint32_t>(format.bitCount) * format.width) / 8;
  {
    std::lock_guard<std::mutex> hold(lock_);
    height_ = height;
    rowLength_ = rowLength;
    naturalFlip_ = rgb && format.height > 0;
    flipInEffect_ = naturalFlip_ || flipSetting_.load();
    incoming_.clear();  // frames are dropped until the surfaces exist
    pending_ = false;
  }
  sampleFormat_ = rgb ? gfx::Format::X8R8G8B8
                      : format.compression == capture::kUyvy ? gfx::Format::UYVY : gfx::Format::YUY2;
  width_ = format.width;
  // Device objects are made and released outside the renderer's lock.
  ReleaseSurfaces();
  // The staging surface lives in CPU memory; only the render thread fills it.
  staging_ = host_.CreateOffscreenSurface(width_, height, sampleFormat_, gfx::Pool::SystemMem);
  if (!staging_) {
    CaptureLog("Failed to create\tYUY2 buffer surface.");
    return false;
  }
  targetWidth_ = host_.TextureSize(width_);
  targetHeight_ = host_.TextureSize(height);
  gfx::Device* device = host_.GetDevice();
  if (!device || gfx::Failed(device->CreateTexture(targetWidth_, targetHeight_, 1, gfx::usage::RenderTarget,
                                                   gfx::Format::A8R8G8B8, gfx::Pool::Default, &target_))) {
    target_ = nullptr;
    CaptureLog("Could not create\tthe\ttarget D3D texture.");
    ReleaseSurfaces();
    return false;
  }
  const size_t bytes = static_cast<size_t>(rowLength) * height;
  shown_.assign(bytes, 0);
  std::vector<uint8_t> incoming(bytes, 0);
  std::lock_guard<std::mutex> hold(lock_);
  incoming_.swap(incoming);
  return true;
}

void TextureRenderer::SetFlip(bool flip) {
  std::lock_guard<std::mutex> hold(lock_);
  flipSetting_ = flip;
  flipInEffect_ = naturalFlip_ || flip;
}

RenderResult TextureRenderer::DoRenderSample(const capture::Frame* frame) {
  std::lock_guard<std::mutex> hold(lock_);
  const RenderResult result = CopySample(frame);
  frameCount_.fetch_add(1, std::memory_order_relaxed);
  return result;
}

// Under lock_: memory only, so the streaming thread never waits for the device.
RenderResult TextureRenderer::CopySample(const capture::Frame* frame) {
  if (!frame || !frame->data) {
    CaptureLog("CapErr: pSample == null");
    return RenderResult::NoSample;
  }
  if (incoming_.empty()) {
    CaptureLog("CapErr: pSurf == null");
    return RenderResult::NoSurface;
  }
  // A frame shorter than its rows, or with rows closer than a row, is dropped
  // rather than read past its end.
  const uint32_t stride = frame->stride ? frame->stride : rowLength_;
  if (stride < rowLength_ || height_ == 0 ||
      static_cast<uint64_t>(stride) * (height_ - 1) + rowLength_ > frame->size)
    return RenderResult::ShortSample;
  const bool flip = flipInEffect_.load();
  for (uint32_t row = 0; row < height_; ++row) {
    const uint32_t from = flip ? height_ - 1 - row : row;
    std::memcpy(incoming_.data() + static_cast<size_t>(row) * rowLength_,
                frame->data + static_cast<size_t>(from) * stride, rowLength_);
  }
  pending_ = true;
  return RenderResult::Ok;
}

bool TextureRenderer::FillStaging(const std::vector<uint8_t>& frame, uint32_t rows, uint32_t rowLength) {
  gfx::LockedRect locked;
  if (gfx::Failed(staging_->LockRect(&locked, nullptr, gfx::lock::None))) {
    CaptureLog("CapErr: pSurf->LockRect failed");
    return false;
  }
  auto* dest = static_cast<uint8_t*>(locked.bits);
  for (uint32_t row = 0; row < rows; ++row)
    std::memcpy(dest + static_cast<size_t>(row) * locked.pitch, frame.data() + static_cast<size_t>(row) * rowLength,
                rowLength);
  staging_->UnlockRect();
  return true;
}

void TextureRenderer::UpdateTexture() {
  if (!pending_.load()) return;
  if (!target_ || !staging_) return;
  gfx::Surface* surface = nullptr;
  if (gfx::Failed(target_->GetSurfaceLevel(0, &surface))) {
    CaptureLog("CapErr: pTex->GetSurfaceLevel failed");
    return;
  }
  uint32_t rows, rowLength;
  {
    // The newest frame changes hands; the streaming thread writes the next
    // one into the buffer it gets back.
    std::lock_guard<std::mutex> hold(lock_);
    shown_.swap(incoming_);
    rows = height_;
    rowLength = rowLength_;
    pending_ = false;
  }
  if (FillStaging(shown_, rows, rowLength)) {
    gfx::Device* device = host_.GetDevice();
    if (!device || gfx::Failed(device->StretchRect(staging_, nullptr, surface, nullptr, gfx::Filter::Linear))) {
      CaptureLog("CapErr: pDevice->StretchRect D3DTEXF_LINEAR failed");
      if (!device || gfx::Failed(device->StretchRect(staging_, nullptr, surface, nullptr, gfx::Filter::None)))
        CaptureLog("CapErr: pDevice->StretchRect D3DTEXF_NONE failed");
    }
  }
  surface->Release();
}

}  // namespace builtin
