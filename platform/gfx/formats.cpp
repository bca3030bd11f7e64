#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gfx/formats.h"
#include "gl_format.h"

namespace gfx {

int BytesPerPixel(Format format) {
  switch (format) {
    case Format::Unknown: return 0;
    case Format::A8R8G8B8: case Format::X8R8G8B8: case Format::A8B8G8R8: case Format::X8B8G8R8:
    case Format::R32F: case Format::D24S8: case Format::Index32: return 4;
    case Format::R8G8B8: return 3;
    case Format::R5G6B5: case Format::X1R5G5B5: case Format::A1R5G5B5: case Format::YUY2: case Format::UYVY:
    case Format::D16: case Format::Index16: return 2;
    case Format::A8: case Format::L8: return 1;
    case Format::G32R32F: case Format::A16B16G16R16F: return 8;
    case Format::A32B32G32R32F: return 16;
  }
  return 0;
}

bool IsDepthFormat(Format format) { return format == Format::D24S8 || format == Format::D16; }

const char* FormatName(Format format) {
  switch (format) {
    case Format::Unknown: return "UNKNOWN";
    case Format::A8R8G8B8: return "A8R8G8B8";
    case Format::X8R8G8B8: return "X8R8G8B8";
    case Format::A8B8G8R8: return "A8B8G8R8";
    case Format::X8B8G8R8: return "X8B8G8R8";
    case Format::R8G8B8: return "R8G8B8";
    case Format::R5G6B5: return "R5G6B5";
    case Format::X1R5G5B5: return "X1R5G5B5";
    case Format::A1R5G5B5: return "A1R5G5B5";
    case Format::A8: return "A8";
    case Format::L8: return "L8";
    case Format::YUY2: return "YUY2";
    case Format::UYVY: return "UYVY";
    case Format::R32F: return "R32F";
    case Format::G32R32F: return "G32R32F";
    case Format::A16B16G16R16F: return "A16B16G16R16F";
    case Format::A32B32G32R32F: return "A32B32G32R32F";
    case Format::D24S8: return "D24S8";
    case Format::D16: return "D16";
    case Format::Index16: return "INDEX16";
    case Format::Index32: return "INDEX32";
  }
  return "?";
}

namespace {

GlFormat Make(GLenum internal, GLenum format, GLenum type, bool renderable) {
  GlFormat f;
  f.internalFormat = internal;
  f.format = format;
  f.type = type;
  f.renderable = renderable;
  return f;
}

GlFormat Swizzled(GlFormat f, GLint r, GLint g, GLint b, GLint a) {
  f.swizzle[0] = r; f.swizzle[1] = g; f.swizzle[2] = b; f.swizzle[3] = a;
  return f;
}

GlFormat Build(Format format) {
  switch (format) {
    case Format::A8R8G8B8: { GlFormat f = Make(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, true); f.swapRedBlue = true; return f; }
    case Format::X8R8G8B8: {
      GlFormat f = Swizzled(Make(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, true), GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
      f.swapRedBlue = true; f.opaque = true; return f;
    }
    case Format::A8B8G8R8: return Make(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, true);
    case Format::X8B8G8R8: {
      GlFormat f = Swizzled(Make(GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, true), GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
      f.opaque = true; return f;
    }
    case Format::R8G8B8: { GlFormat f = Make(GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE, true); f.swapRedBlue = true; f.opaque = true; return f; }
    case Format::R5G6B5: { GlFormat f = Make(GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true); f.opaque = true; return f; }
    case Format::X1R5G5B5: {
      GlFormat f = Swizzled(Make(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true), GL_RED, GL_GREEN, GL_BLUE, GL_ONE);
      f.opaque = true; return f;
    }
    case Format::A1R5G5B5: return Make(GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true);
    case Format::A8: return Swizzled(Make(GL_R8, GL_RED, GL_UNSIGNED_BYTE, false), GL_ZERO, GL_ZERO, GL_ZERO, GL_RED);
    case Format::L8: return Swizzled(Make(GL_R8, GL_RED, GL_UNSIGNED_BYTE, false), GL_RED, GL_RED, GL_RED, GL_ONE);
    // Direct3D reads missing float channels as 1.
    case Format::R32F: return Swizzled(Make(GL_R32F, GL_RED, GL_FLOAT, true), GL_RED, GL_ONE, GL_ONE, GL_ONE);
    case Format::G32R32F: return Swizzled(Make(GL_RG32F, GL_RG, GL_FLOAT, true), GL_RED, GL_GREEN, GL_ONE, GL_ONE);
    case Format::A16B16G16R16F: return Make(GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, true);
    case Format::A32B32G32R32F: return Make(GL_RGBA32F, GL_RGBA, GL_FLOAT, true);
    case Format::D24S8: {
      GlFormat f = Make(GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, false);
      f.depth = true; f.stencil = true; return f;
    }
    case Format::D16: { GlFormat f = Make(GL_DEPTH_COMPONENT16, GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, false); f.depth = true; return f; }
    default: return GlFormat{};  // YUY2, UYVY, index formats: CPU memory only
  }
}

}  // namespace

const GlFormat& GlFormatOf(Format format) {
  static const auto table = [] {
    std::array<GlFormat, static_cast<size_t>(Format::Index32) + 1> t{};
    for (size_t i = 0; i < t.size(); ++i) t[i] = Build(static_cast<Format>(i));
    return t;
  }();
  size_t i = static_cast<size_t>(format);
  return i < table.size() ? table[i] : table[0];
}

void SwapRedBlue(uint8_t* pixels, int pixelCount, int bytesPerPixel) {
  for (int i = 0; i < pixelCount; ++i, pixels += bytesPerPixel) std::swap(pixels[0], pixels[2]);
}

void FillAlpha(uint8_t* pixels, int pixelCount) {
  for (int i = 0; i < pixelCount; ++i) pixels[i * 4 + 3] = 0xFF;
}

namespace {
uint8_t Clamp255(float v) { return static_cast<uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f)); }

void YuvToRgba(int y, int u, int v, uint8_t* out) {
  const float c = 1.164383f * static_cast<float>(y - 16);
  const float d = static_cast<float>(u - 128);
  const float e = static_cast<float>(v - 128);
  out[0] = Clamp255(c + 1.596027f * e);
  out[1] = Clamp255(c - 0.391762f * d - 0.812968f * e);
  out[2] = Clamp255(c + 2.017232f * d);
  out[3] = 0xFF;
}
}  // namespace

void ConvertYuvRowToRgba(Format format, const uint8_t* src, int width, uint8_t* dst) {
  const bool yuy2 = format == Format::YUY2;
  for (int x = 0; x < width; x += 2, src += 4) {
    const int y0 = yuy2 ? src[0] : src[1];
    const int u = yuy2 ? src[1] : src[0];
    const int y1 = yuy2 ? src[2] : src[3];
    const int v = yuy2 ? src[3] : src[2];
    YuvToRgba(y0, u, v, dst + x * 4);
    if (x + 1 < width) YuvToRgba(y1, u, v, dst + (x + 1) * 4);
  }
}

bool PackColor(Format format, uint32_t argb, uint8_t* out) {
  const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  auto put16 = [out](uint32_t v) { out[0] = static_cast<uint8_t>(v); out[1] = static_cast<uint8_t>(v >> 8); };
  switch (format) {
    case Format::A8R8G8B8: case Format::X8R8G8B8:
      out[0] = static_cast<uint8_t>(b); out[1] = static_cast<uint8_t>(g); out[2] = static_cast<uint8_t>(r); out[3] = static_cast<uint8_t>(a);
      return true;
    case Format::A8B8G8R8: case Format::X8B8G8R8:
      out[0] = static_cast<uint8_t>(r); out[1] = static_cast<uint8_t>(g); out[2] = static_cast<uint8_t>(b); out[3] = static_cast<uint8_t>(a);
      return true;
    case Format::R8G8B8:
      out[0] = static_cast<uint8_t>(b); out[1] = static_cast<uint8_t>(g); out[2] = static_cast<uint8_t>(r);
      return true;
    case Format::R5G6B5: put16(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)); return true;
    case Format::X1R5G5B5: case Format::A1R5G5B5:
      put16(((a >> 7) << 15) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
      return true;
    case Format::A8: out[0] = static_cast<uint8_t>(a); return true;
    case Format::L8: out[0] = static_cast<uint8_t>(r); return true;
    case Format::R32F: { float f = static_cast<float>(r) / 255.0f; std::memcpy(out, &f, 4); return true; }
    case Format::G32R32F: {
      float f[2] = {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f};
      std::memcpy(out, f, 8);
      return true;
    }
    case Format::A32B32G32R32F: {
      float f[4] = {r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f};
      std::memcpy(out, f, 16);
      return true;
    }
    default: return false;
  }
}

}  // namespace gfx
