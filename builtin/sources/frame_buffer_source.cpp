#include "sources/frame_buffer_source.h"

#include <cstdio>
#include <new>

#include "lv/lorvane_interface.h"

#include "platform/gfx/device.h"

namespace builtin {

const lv::ClassId FrameBufferSource::kClassId = {0x68F40156, 0x9C01, 0x4435,
                                                  {0xAB, 0x5B, 0xD8, 0xC8, 0x57, 0xF6, 0xBA, 0x59}};

FrameBufferSource::~FrameBufferSource() {
  while (attachments_ > 0) Detach();
}

uint32_t FrameBufferSource::TextureSide(uint32_t sourceSide) {
  if (host->IsPowerOfTwo(sourceSide)) return sourceSide;
  if (host->NonPow2Supported() && powerOfTwo_ == 0) return sourceSide;
  return host->TextureSize(sourceSide);
}

bool FrameBufferSource::Open(const char*) {
  if (host == nullptr || share_->gone) return false;
  if (share_->buffer == nullptr) {
    const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
    if (target == nullptr) return false;
    width_ = target->width;
    height_ = target->height;
  } else {
    width_ = share_->buffer->Width();
    height_ = share_->buffer->Height();
  }
  textureWidth_ = TextureSide(width_);
  textureHeight_ = TextureSide(height_);
  rect_.Set(textureWidth_, textureHeight_);
  return true;
}

bool FrameBufferSource::GetInfo(lv::SourceInfo* info) {
  if (info == nullptr || host == nullptr || share_->gone) return false;
  if (share_->buffer == nullptr) {
    const gfx::SurfaceDesc* target = host->GetBackBufferDesc();
    if (target == nullptr) return false;
    info->width = target->width;
    info->height = target->height;
    info->format = uint32_t(target->format);
  } else {
    info->width = share_->buffer->Width();
    info->height = share_->buffer->Height();
    info->format = uint32_t(share_->buffer->Format());
  }
  return true;
}

bool FrameBufferSource::Attach(uint8_t) {
  FrameBufferShare::Slot& slot = Chosen();
  // A failed creation is not retried until every use is given back.
  if (slot.uses == 0 && host != nullptr) {
    slot.texture = gfx::Ref<gfx::Texture>(host->CreateTexture(textureWidth_, textureHeight_, gfx::Format::Unknown,
                                                              gfx::usage::RenderTarget, gfx::Pool::Default));
  }
  ++slot.uses;
  ++attachments_;
  return bool(slot.texture);
}

gfx::Texture* FrameBufferSource::GetTexture() { return Chosen().texture.get(); }

void FrameBufferSource::Detach() {
  // A detach without an attach must not take another instance's use.
  if (attachments_ == 0) return;
  --attachments_;
  FrameBufferShare::Slot& slot = Chosen();
  if (slot.uses > 0 && --slot.uses == 0) slot.texture = {};
}

bool FrameBufferSource::Advance(uint32_t, bool* wrapped, bool* newFrame) {
  if (wrapped != nullptr) *wrapped = false;
  if (newFrame != nullptr) *newFrame = true;
  gfx::Texture* texture = Chosen().texture.get();
  if (texture == nullptr || host == nullptr || share_->gone) return false;
  gfx::Device* device = host->GetDevice();
  gfx::Surface* source = share_->buffer == nullptr ? host->GetBackBuffer() : share_->buffer->Surface();
  if (device == nullptr || source == nullptr) return false;
  gfx::Ref<gfx::Surface> copy;
  if (gfx::Failed(texture->GetSurfaceLevel(0, copy.put())) || !copy) return false;
  const bool sameSize = textureWidth_ == width_ && textureHeight_ == height_;
  device->StretchRect(source, nullptr, copy.get(), nullptr, sameSize ? gfx::Filter::None : gfx::Filter::Linear);
  return true;
}

FrameBufferDesc::FrameBufferDesc(const char* name, CopiedBuffer* buffer) : share_(std::make_shared<FrameBufferShare>()) {
  std::snprintf(name_, sizeof name_, "%s", name != nullptr ? name : "");
  share_->buffer = buffer;
}

FrameBufferDesc::~FrameBufferDesc() {
  share_->gone = true;
  share_->buffer = nullptr;
}

lv::Source* FrameBufferDesc::Create() { return new (std::nothrow) FrameBufferSource(share_); }

lv::SourceDesc* FrameBufferSourceDescriptor() {
  static FrameBufferDesc desc("FrameBuffer", nullptr);
  return &desc;
}

}  // namespace builtin
