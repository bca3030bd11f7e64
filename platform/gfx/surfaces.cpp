#include <cstring>

#include "gl_device.h"
#include "gl_format.h"

namespace gfx {

GlSurface::GlSurface(GlDevice* device, Owner owner, GlTexture* parent, const SurfaceDesc& desc, GLuint texture,
                     GLint level)
    : device_(device), owner_(owner), parent_(parent), desc_(desc), texture_(texture), level_(level),
      refs_(owner == Owner::Self ? 1 : 0) {
  if (texture_ == 0) cpu_.assign(static_cast<size_t>(Pitch()) * desc_.height, 0);
  if (owner_ == Owner::Self) device_->AddRef();
}

GlSurface::~GlSurface() {
  {
    DeviceScope scope(device_->Lock());
    device_->Forget(this);
    if (owner_ == Owner::Self && texture_) glDeleteTextures(1, &texture_);
  }
  if (owner_ == Owner::Self) device_->Release();
}

uint32_t GlSurface::AddRef() {
  if (owner_ == Owner::Texture) return parent_->AddRef();
  return ++refs_;
}

uint32_t GlSurface::Release() {
  if (owner_ == Owner::Texture) return parent_->Release();
  uint32_t current = refs_.load();
  while (current > 0 && !refs_.compare_exchange_weak(current, current - 1)) {
  }
  if (current == 0) return 0;  // a device-owned surface released once too often
  if (current == 1 && owner_ == Owner::Self) delete this;
  return current - 1;
}

Device* GlSurface::GetDevice() { return device_; }

Result GlSurface::GetDesc(SurfaceDesc* desc) {
  if (!desc) return Result::InvalidCall;
  *desc = desc_;
  return Result::Ok;
}

Result GlSurface::LockRect(LockedRect* locked, const Rect* rect, uint32_t flags) {
  if (!locked) return Result::InvalidCall;
  DeviceScope scope(device_->Lock());
  if (locked_ || IsDepthFormat(desc_.format)) return Result::InvalidCall;
  Rect r{0, 0, static_cast<int32_t>(desc_.width), static_cast<int32_t>(desc_.height)};
  if (rect) {
    if (rect->left < 0 || rect->top < 0 || rect->right > r.right || rect->bottom > r.bottom ||
        rect->left >= rect->right || rect->top >= rect->bottom)
      return Result::InvalidCall;
    r = *rect;
  }
  const int bpp = BytesPerPixel(desc_.format);
  uint8_t* base;
  if (IsCpu()) {
    base = cpu_.data();
  } else {
    staging_.resize(static_cast<size_t>(Pitch()) * desc_.height);
    if (!(flags & lock::Discard)) Download(staging_.data());
    base = staging_.data();
  }
  locked->pitch = Pitch();
  locked->bits = base + static_cast<size_t>(r.top) * Pitch() + static_cast<size_t>(r.left) * bpp;
  locked_ = true;
  lockRect_ = r;
  lockFlags_ = flags;
  return Result::Ok;
}

Result GlSurface::UnlockRect() {
  DeviceScope scope(device_->Lock());
  if (!locked_) return Result::InvalidCall;
  locked_ = false;
  if (!IsCpu() && !(lockFlags_ & lock::ReadOnly)) {
    const int bpp = BytesPerPixel(desc_.format);
    Upload(staging_.data() + static_cast<size_t>(lockRect_.top) * Pitch() + static_cast<size_t>(lockRect_.left) * bpp,
           Pitch(), lockRect_);
  }
  return Result::Ok;
}

void GlSurface::Download(uint8_t* pixels) {
  const GlFormat& gl = GlFormatOf(desc_.format);
  const size_t size = static_cast<size_t>(Pitch()) * desc_.height;
  glGetTextureSubImage(texture_, level_, 0, 0, 0, static_cast<GLsizei>(desc_.width),
                       static_cast<GLsizei>(desc_.height), 1, gl.format, gl.type, static_cast<GLsizei>(size), pixels);
  if (gl.swapRedBlue) SwapRedBlue(pixels, static_cast<int>(desc_.width * desc_.height), BytesPerPixel(desc_.format));
}

void GlSurface::Upload(const uint8_t* pixels, int pitch, const Rect& rect) {
  UploadToTexture(texture_, level_, desc_.format, pixels, pitch, rect.left, rect.top, rect.Width(), rect.Height());
}

void UploadToTexture(GLuint texture, GLint level, Format format, const uint8_t* pixels, int pitch, int x, int y,
                     int w, int h) {
  const GlFormat& gl = GlFormatOf(format);
  const int bpp = BytesPerPixel(format);
  std::vector<uint8_t> converted;
  const bool opaque16 = format == Format::X1R5G5B5;
  if (gl.swapRedBlue || (gl.opaque && bpp == 4) || opaque16) {
    converted.resize(static_cast<size_t>(w) * h * bpp);
    for (int row = 0; row < h; ++row)
      std::memcpy(converted.data() + static_cast<size_t>(row) * w * bpp, pixels + static_cast<size_t>(row) * pitch,
                  static_cast<size_t>(w) * bpp);
    if (gl.swapRedBlue) SwapRedBlue(converted.data(), w * h, bpp);
    // X formats store an opaque alpha: copies (which bypass the read swizzle) keep it.
    if (gl.opaque && bpp == 4) FillAlpha(converted.data(), w * h);
    if (opaque16)
      for (size_t i = 1; i < converted.size(); i += 2) converted[i] |= 0x80;
    pixels = converted.data();
    pitch = w * bpp;
  }
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch / bpp);
  glTextureSubImage2D(texture, level, x, y, w, h, gl.format, gl.type, pixels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

}  // namespace gfx
