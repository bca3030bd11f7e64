#include "sources/video_sample_source.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "lv/lorvane_interface.h"

#include "platform/gfx/device.h"

namespace builtin {

const lv::ClassId VideoSampleSource::kClassId = {0x4650AA0C, 0x3DFD, 0x4174,
                                                  {0xAC, 0x91, 0xA0, 0xA8, 0x4A, 0x21, 0x8A, 0x4D}};

bool VideoSampleSource::Open(const char*) {
  SetFrame(sampler_.Width(), sampler_.Height(), uint32_t(sampler_.Format()));
  current_ = -1;
  playTime_ = 0;
  return true;
}

bool VideoSampleSource::GetInfo(lv::SourceInfo* info) {
  if (!FrameSource::GetInfo(info)) return false;
  info->flags[0] = 1;
  info->flags[1] = 0;
  return true;
}

bool VideoSampleSource::Attach(uint8_t) {
  texture_ = {};
  if (host != nullptr) {
    texture_ = gfx::Ref<gfx::Texture>(host->CreateTexture(width_, height_, gfx::Format(format_), gfx::usage::None,
                                                          gfx::Pool::Default));
  }
  // The new texture holds no frame yet, whatever the last note showed.
  current_ = -1;
  return bool(texture_);
}

bool VideoSampleSource::Advance(uint32_t milliseconds, bool* wrapped, bool* newFrame) {
  playTime_ += milliseconds;
  const uint32_t frames = sampler_.Recorded();
  // An interval of 0 (a damaged project) plays as fast as 1 rather than dividing by zero.
  const uint64_t interval = std::max<uint32_t>(sampler_.Interval(), 1);
  const uint64_t rate = 60 / interval;  // whole frames per second
  uint64_t index = rate * playTime_ / 1000;
  const bool wentPast = index >= frames;
  if (frames == 0) {
    index = 0;
  } else if (wentPast && loop_ != 0) {
    index %= frames;
    playTime_ = uint32_t(interval * index * 1000 / 60);  // the start of that frame
  } else {
    index = std::min<uint64_t>(index, frames - 1);
  }
  if (wrapped != nullptr) *wrapped = wentPast;

  bool uploaded = false;
  if (int64_t(index) != current_) {
    gfx::Texture* frame = sampler_.FrameTexture(uint32_t(index));
    gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
    // A frame the sampler does not have leaves the texture as it is.
    if (frame != nullptr && texture_ && device != nullptr) {
      frame->AddDirtyRect(nullptr);
      if (!gfx::Failed(device->UpdateTexture(frame, texture_.get()))) {
        current_ = int64_t(index);
        uploaded = true;
      }
    }
  }
  if (newFrame != nullptr) *newFrame = uploaded;
  return true;
}

VideoSampleSourceDesc::VideoSampleSourceDesc(SampleStore& sampler) : sampler_(sampler) {
  const char* name = sampler.Name();
  std::snprintf(name_, sizeof name_, "%s", name != nullptr ? name : "");
}

lv::Source* VideoSampleSourceDesc::Create() { return new (std::nothrow) VideoSampleSource(sampler_); }

}  // namespace builtin
