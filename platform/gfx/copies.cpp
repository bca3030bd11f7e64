// Copies between surfaces: StretchRect, read-back, uploads and fills.
#include <algorithm>
#include <vector>

#include "gl_device.h"
#include "gl_format.h"

namespace gfx {

namespace {

GlSurface* AsSurface(Surface* s) { return s ? dynamic_cast<GlSurface*>(s) : nullptr; }

bool Inside(const Rect& r, const SurfaceDesc& d) {
  return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
         r.right <= static_cast<int32_t>(d.width) && r.bottom <= static_cast<int32_t>(d.height);
}

Rect Whole(const SurfaceDesc& d) { return Rect{0, 0, static_cast<int32_t>(d.width), static_cast<int32_t>(d.height)}; }

}  // namespace

// A temporary GL texture holding `rect` of a CPU surface (YUV converted to RGBA).
GLuint GlDevice::UploadCpuSurface(GlSurface* surface, const Rect& rect) {
  const Format format = surface->Desc().format;
  const bool yuv = format == Format::YUY2 || format == Format::UYVY;
  const GlFormat& gl = GlFormatOf(yuv ? Format::A8B8G8R8 : format);
  if (gl.internalFormat == 0 || gl.depth) return 0;
  GLuint texture = 0;
  glCreateTextures(GL_TEXTURE_2D, 1, &texture);
  glTextureStorage2D(texture, 1, gl.internalFormat, rect.Width(), rect.Height());
  const int pitch = surface->Pitch();
  const uint8_t* pixels = surface->CpuPixels();
  if (yuv) {
    // Whole pixel pairs are converted; then the rectangle is cut out of them.
    const int width = static_cast<int>(surface->Desc().width);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * 4 * rect.Height());
    for (int y = 0; y < rect.Height(); ++y)
      ConvertYuvRowToRgba(format, pixels + static_cast<size_t>(rect.top + y) * pitch, width,
                          rgba.data() + static_cast<size_t>(y) * width * 4);
    UploadToTexture(texture, 0, Format::A8B8G8R8, rgba.data() + static_cast<size_t>(rect.left) * 4, width * 4, 0, 0,
                    rect.Width(), rect.Height());
  } else {
    const int bpp = BytesPerPixel(format);
    UploadToTexture(texture, 0, format, pixels + static_cast<size_t>(rect.top) * pitch + static_cast<size_t>(rect.left) * bpp,
                    pitch, 0, 0, rect.Width(), rect.Height());
  }
  glTextureParameteriv(texture, GL_TEXTURE_SWIZZLE_RGBA, gl.swizzle);
  return texture;
}

Result GlDevice::StretchRect(Surface* source, const Rect* sourceRect, Surface* dest, const Rect* destRect,
                             Filter filter) {
  GlSurface* src = AsSurface(source);
  GlSurface* dst = AsSurface(dest);
  if (!src || !dst || src == dst) return Result::InvalidCall;
  const Rect sr = sourceRect ? *sourceRect : Whole(src->Desc());
  const Rect dr = destRect ? *destRect : Whole(dst->Desc());
  if (!Inside(sr, src->Desc()) || !Inside(dr, dst->Desc())) return Result::InvalidCall;
  if (IsDepthFormat(src->Desc().format) || IsDepthFormat(dst->Desc().format)) return Result::InvalidCall;
  if (dst->IsCpu() || !GlFormatOf(dst->Desc().format).renderable) return Result::NotAvailable;
  if (filter != Filter::None && filter != Filter::Point && filter != Filter::Linear) return Result::InvalidCall;

  DeviceScope scope(lock_);
  GLuint temporary = 0;
  GLuint readTexture = src->GlTextureName();
  GLint readLevel = src->Level();
  Rect read = sr;
  if (src->IsCpu()) {
    temporary = UploadCpuSurface(src, sr);
    if (!temporary) return Result::NotAvailable;
    readTexture = temporary;
    readLevel = 0;
    read = Rect{0, 0, sr.Width(), sr.Height()};
  }
  glNamedFramebufferTexture(readFbo_, GL_COLOR_ATTACHMENT0, readTexture, readLevel);
  glNamedFramebufferReadBuffer(readFbo_, GL_COLOR_ATTACHMENT0);
  glNamedFramebufferTexture(copyFbo_, GL_COLOR_ATTACHMENT0, dst->GlTextureName(), dst->Level());
  glDisable(GL_SCISSOR_TEST);
  const bool scaled = read.Width() != dr.Width() || read.Height() != dr.Height();
  // Both surfaces keep row 0 at the top, so the rectangles go over unchanged.
  glBlitNamedFramebuffer(readFbo_, copyFbo_, read.left, read.top, read.right, read.bottom, dr.left, dr.top, dr.right,
                         dr.bottom, GL_COLOR_BUFFER_BIT, filter == Filter::Linear && scaled ? GL_LINEAR : GL_NEAREST);
  applied_.valid = false;
  if (temporary) glDeleteTextures(1, &temporary);
  return glGetError() == GL_NO_ERROR ? Result::Ok : Result::InvalidCall;
}

Result GlDevice::GetRenderTargetData(Surface* renderTarget, Surface* dest) {
  GlSurface* src = AsSurface(renderTarget);
  GlSurface* dst = AsSurface(dest);
  if (!src || !dst || src->IsCpu() || !dst->IsCpu()) return Result::InvalidCall;
  const SurfaceDesc &s = src->Desc(), &d = dst->Desc();
  if (s.width != d.width || s.height != d.height || s.format != d.format || IsDepthFormat(s.format))
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  src->Download(dst->CpuPixels());
  return Result::Ok;
}

Result GlDevice::UpdateSurface(Surface* source, const Rect* sourceRect, Surface* dest, int destX, int destY) {
  GlSurface* src = AsSurface(source);
  GlSurface* dst = AsSurface(dest);
  if (!src || !dst || !src->IsCpu() || dst->IsCpu() || src->Desc().format != dst->Desc().format)
    return Result::InvalidCall;
  const Rect sr = sourceRect ? *sourceRect : Whole(src->Desc());
  const Rect dr{destX, destY, destX + sr.Width(), destY + sr.Height()};
  if (!Inside(sr, src->Desc()) || !Inside(dr, dst->Desc()) || GlFormatOf(dst->Desc().format).internalFormat == 0)
    return Result::InvalidCall;
  DeviceScope scope(lock_);
  const int bpp = BytesPerPixel(src->Desc().format);
  dst->Upload(src->CpuPixels() + static_cast<size_t>(sr.top) * src->Pitch() + static_cast<size_t>(sr.left) * bpp,
              src->Pitch(), dr);
  return Result::Ok;
}

Result GlDevice::UpdateTexture(Texture* source, Texture* dest) {
  auto* src = source ? dynamic_cast<GlTexture*>(source) : nullptr;
  auto* dst = dest ? dynamic_cast<GlTexture*>(dest) : nullptr;
  if (!src || !dst || !src->IsCpu() || dst->IsCpu() || src->GetFormat() != dst->GetFormat()) return Result::InvalidCall;
  const uint32_t levels = std::min(src->GetLevelCount(), dst->GetLevelCount());
  for (uint32_t l = 0; l < levels; ++l) {
    const SurfaceDesc &s = src->LevelSurface(l)->Desc(), &d = dst->LevelSurface(l)->Desc();
    if (s.width != d.width || s.height != d.height) return Result::InvalidCall;
  }
  DeviceScope scope(lock_);
  for (uint32_t l = 0; l < levels; ++l) {
    GlSurface* s = src->LevelSurface(l);
    dst->LevelSurface(l)->Upload(s->CpuPixels(), s->Pitch(), Whole(s->Desc()));
  }
  return Result::Ok;
}

Result GlDevice::ColorFill(Surface* surface, const Rect* rect, Color color) {
  GlSurface* s = AsSurface(surface);
  if (!s || IsDepthFormat(s->Desc().format)) return Result::InvalidCall;
  const Rect r = rect ? *rect : Whole(s->Desc());
  if (!Inside(r, s->Desc())) return Result::InvalidCall;
  DeviceScope scope(lock_);
  if (s->IsCpu()) {
    const int bpp = BytesPerPixel(s->Desc().format);
    uint8_t pixel[16];
    if (!PackColor(s->Desc().format, color, pixel)) return Result::InvalidCall;
    for (int y = r.top; y < r.bottom; ++y) {
      uint8_t* row = s->CpuPixels() + static_cast<size_t>(y) * s->Pitch();
      for (int x = r.left; x < r.right; ++x) std::copy(pixel, pixel + bpp, row + static_cast<size_t>(x) * bpp);
    }
    return Result::Ok;
  }
  if (!GlFormatOf(s->Desc().format).renderable) return Result::NotAvailable;
  glNamedFramebufferTexture(copyFbo_, GL_COLOR_ATTACHMENT0, s->GlTextureName(), s->Level());
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glEnable(GL_SCISSOR_TEST);
  glScissor(r.left, r.top, r.Width(), r.Height());
  float rgba[4];
  ColorToFloats(color, rgba);
  glClearNamedFramebufferfv(copyFbo_, GL_COLOR, 0, rgba);
  applied_.valid = false;
  return Result::Ok;
}

}  // namespace gfx
