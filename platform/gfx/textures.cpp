#include <algorithm>

#include "gl_device.h"
#include "gl_format.h"

namespace gfx {

namespace {
uint32_t FullChain(uint32_t w, uint32_t h) {
  uint32_t levels = 1;
  while (w > 1 || h > 1) {
    w = std::max(1u, w / 2);
    h = std::max(1u, h / 2);
    ++levels;
  }
  return levels;
}
}  // namespace

GlTexture::GlTexture(GlDevice* device, uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                     Format format, Pool pool)
    : RefCounted(device), width_(width), height_(height), levelCount_(levels), usage_(usage), format_(format),
      pool_(pool) {}

Result GlTexture::Init() {
  const uint32_t full = FullChain(width_, height_);
  if (levelCount_ == 0 || levelCount_ > full) levelCount_ = full;
  if ((usage_ & usage::RenderTarget) && levelCount_ != 1) levelCount_ = 1;
  const GlFormat& gl = GlFormatOf(format_);
  const bool cpu = pool_ == Pool::SystemMem || pool_ == Pool::Scratch;
  if (!cpu) {
    if (gl.internalFormat == 0 || gl.depth) return Result::NotAvailable;
    if ((usage_ & usage::RenderTarget) && !gl.renderable) return Result::NotAvailable;
    glCreateTextures(GL_TEXTURE_2D, 1, &gl_);
    glTextureStorage2D(gl_, static_cast<GLsizei>(levelCount_), gl.internalFormat, static_cast<GLsizei>(width_),
                       static_cast<GLsizei>(height_));
    glTextureParameteri(gl_, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levelCount_ - 1));
    glTextureParameteriv(gl_, GL_TEXTURE_SWIZZLE_RGBA, gl.swizzle);
    if (glGetError() == GL_OUT_OF_MEMORY) return Result::OutOfVideoMemory;
  } else if (BytesPerPixel(format_) == 0) {
    return Result::NotAvailable;
  }
  uint32_t w = width_, h = height_;
  for (uint32_t level = 0; level < levelCount_; ++level) {
    SurfaceDesc desc;
    desc.format = format_;
    desc.type = ResourceType::Surface;
    desc.usage = usage_;
    desc.pool = pool_;
    desc.width = w;
    desc.height = h;
    levels_.push_back(std::make_unique<GlSurface>(device_, GlSurface::Owner::Texture, this, desc, gl_,
                                                  static_cast<GLint>(level)));
    w = std::max(1u, w / 2);
    h = std::max(1u, h / 2);
  }
  // A new texture reads as zero, as video memory cleared by Direct3D does.
  if (gl_) {
    for (uint32_t level = 0; level < levelCount_; ++level)
      glClearTexImage(gl_, static_cast<GLint>(level), gl.format, gl.type, nullptr);
  }
  return Result::Ok;
}

GlTexture::~GlTexture() {
  DeviceScope scope(device_->Lock());
  device_->Forget(this);
  levels_.clear();
  if (gl_) glDeleteTextures(1, &gl_);
}

Result GlTexture::GetLevelDesc(uint32_t level, SurfaceDesc* desc) {
  GlSurface* s = LevelSurface(level);
  if (!s || !desc) return Result::InvalidCall;
  *desc = s->Desc();
  return Result::Ok;
}

Result GlTexture::GetSurfaceLevel(uint32_t level, Surface** surface) {
  GlSurface* s = LevelSurface(level);
  if (!s || !surface) return Result::InvalidCall;
  s->AddRef();
  *surface = s;
  return Result::Ok;
}

Result GlTexture::LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
  GlSurface* s = LevelSurface(level);
  if (!s) return Result::InvalidCall;
  return s->LockRect(locked, rect, flags);
}

Result GlTexture::UnlockRect(uint32_t level) {
  GlSurface* s = LevelSurface(level);
  if (!s) return Result::InvalidCall;
  return s->UnlockRect();
}

}  // namespace gfx
