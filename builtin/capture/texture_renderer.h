#pragma once
// The sink at the end of a running capture device: the streaming thread
// copies each frame into a staging surface in the frame's own coding, and
// the render thread converts the newest one into an A8R8G8B8 render-target
// texture. One lock serialises the copy and the conversion.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "lv/lorvane_interface.h"
#include "platform/capture/video_device.h"
#include "platform/gfx/formats.h"
#include "platform/gfx/resources.h"
#include "sources/capture_feed.h"

namespace builtin {

enum class RenderResult { Ok, NoType, BadPixelFormat, NoSample, NoSurface, ShortSample, LockFailed, Failed };

class TextureRenderer final : public CaptureFrameRenderer, public capture::FrameSink {
 public:
  explicit TextureRenderer(lv::LorvaneInterface& host) : host_(host) {}
  ~TextureRenderer() override;
  TextureRenderer(const TextureRenderer&) = delete;
  TextureRenderer& operator=(const TextureRenderer&) = delete;

  // Accepts YUY2 (also called YUYV), UYVY and 32-bit uncompressed RGB.
  RenderResult CheckMediaType(const capture::VideoFormat* format);
  // Makes the staging surface and the target texture for frames of `format`
  // (already accepted by CheckMediaType); false when either cannot be made,
  // so the device does not run without a picture.
  bool SetMediaType(const capture::VideoFormat& format);

  // Streaming thread: copies the frame, counts it.
  void DeliverFrame(const capture::Frame& frame) override { DoRenderSample(&frame); }
  RenderResult DoRenderSample(const capture::Frame* frame);

  // Render thread: converts the newest copied frame, if one waits.
  void UpdateTexture() override;
  gfx::Texture* TargetTexture() override { return target_; }
  uint32_t FrameCount() override { return frameCount_.load(std::memory_order_relaxed); }

  // The user's vertical flip; takes effect with the next frame.
  void SetFlip(bool flip);
  bool FlipInEffect() const { return flipInEffect_.load(); }
  gfx::Format SampleFormat() const { return sampleFormat_; }

 private:
  RenderResult CopySample(const capture::Frame* frame);
  void ReleaseSurfaces();

  lv::LorvaneInterface& host_;
  std::mutex lock_;
  std::atomic<bool> pending_{false};
  std::atomic<bool> flipSetting_{false};
  // Bottom-up RGB frames are turned the right way up by flipping them. The
  // user's setting adds a flip and never cancels this one: projects saved
  // with flip on for such a device rely on it.
  bool naturalFlip_ = false;
  std::atomic<bool> flipInEffect_{false};
  gfx::Surface* staging_ = nullptr;
  gfx::Texture* target_ = nullptr;
  gfx::Format sampleFormat_ = gfx::Format::Unknown;
  std::atomic<uint32_t> frameCount_{0};
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  uint32_t rowLength_ = 0;
  uint32_t targetWidth_ = 0;
  uint32_t targetHeight_ = 0;
};

}  // namespace builtin
