#pragma once
// The sink at the end of a running capture device: the streaming thread
// copies each frame, in its own coding, into memory of the renderer's own;
// the render thread moves the newest one into a staging surface and converts
// it into an A8R8G8B8 render-target texture. The renderer's lock guards only
// that memory and never covers a device call: the render thread takes it
// inside a frame, holding the device (see platform/gfx/device_lock.h).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

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
  // so the device does not run without a picture. Before streaming starts,
  // with the render thread halted or the frame lock held.
  bool SetMediaType(const capture::VideoFormat& format);

  // Streaming thread: copies the frame into the renderer's memory (no device
  // call), counts it. The latest frame wins.
  void DeliverFrame(const capture::Frame& frame) override { DoRenderSample(&frame); }
  RenderResult DoRenderSample(const capture::Frame* frame);

  // Render thread: uploads and converts the newest copied frame, if one waits.
  void UpdateTexture() override;
  gfx::Texture* TargetTexture() override { return target_; }
  uint32_t FrameCount() override { return frameCount_.load(std::memory_order_relaxed); }

  // The user's vertical flip; takes effect with the next frame.
  void SetFlip(bool flip);
  bool FlipInEffect() const { return flipInEffect_.load(); }
  gfx::Format SampleFormat() const { return sampleFormat_; }

 private:
  RenderResult CopySample(const capture::Frame* frame);
  // Copies `rows` rows of `rowLength` bytes from `frame` into the staging
  // surface; false when it cannot be locked.
  bool FillStaging(const std::vector<uint8_t>& frame, uint32_t rows, uint32_t rowLength);
  void ReleaseSurfaces();

  lv::LorvaneInterface& host_;

  // A leaf: held for copies in memory only.
  std::mutex lock_;
  // Under lock_: the newest delivered frame, rows top first, rowLength_ apart;
  // empty until SetMediaType made the surfaces.
  std::vector<uint8_t> incoming_;
  std::atomic<bool> pending_{false};  // incoming_ holds a frame not yet uploaded
  uint32_t height_ = 0;
  uint32_t rowLength_ = 0;
  std::atomic<bool> flipSetting_{false};
  // Bottom-up RGB frames are turned the right way up by flipping them. The
  // user's setting adds a flip and never cancels this one: projects saved
  // with flip on for such a device rely on it.
  bool naturalFlip_ = false;
  std::atomic<bool> flipInEffect_{false};
  std::atomic<uint32_t> frameCount_{0};

  // The render side: used by the render thread, or by another with the
  // render thread halted or the frame lock held.
  std::vector<uint8_t> shown_;  // swapped with incoming_ to take a frame
  gfx::Surface* staging_ = nullptr;
  gfx::Texture* target_ = nullptr;
  gfx::Format sampleFormat_ = gfx::Format::Unknown;
  uint32_t width_ = 0;
  uint32_t targetWidth_ = 0;
  uint32_t targetHeight_ = 0;
};

}  // namespace builtin
