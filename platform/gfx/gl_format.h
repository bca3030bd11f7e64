#pragma once
// How each format is stored in OpenGL and converted on the way in and out.
#include <epoxy/gl.h>

#include <cstdint>

#include "platform/gfx/formats.h"

namespace gfx {

struct GlFormat {
  GLenum internalFormat = 0;  // 0: no GL storage (kept in CPU memory only)
  GLenum format = 0;          // upload/read-back layout that matches our CPU layout
  GLenum type = 0;
  GLint swizzle[4] = {GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA};
  // The CPU layout has red and blue swapped against `format` (B,G,R[,A] bytes
  // uploaded as RGB[A]: llvmpipe is far faster with RGBA than with BGRA).
  bool swapRedBlue = false;
  bool opaque = false;        // X formats: alpha reads as 1
  bool renderable = false;
  bool depth = false;
  bool stencil = false;
};

const GlFormat& GlFormatOf(Format format);

// Swaps bytes 0 and 2 of each pixel (bytesPerPixel 3 or 4), in place.
void SwapRedBlue(uint8_t* pixels, int pixelCount, int bytesPerPixel);
// Sets byte 3 of each 4-byte pixel to 0xFF.
void FillAlpha(uint8_t* pixels, int pixelCount);
// Converts one row of packed 4:2:2 (YUY2 or UYVY) to R, G, B, A bytes
// (BT.601, limited range). width is in pixels.
void ConvertYuvRowToRgba(Format format, const uint8_t* src, int width, uint8_t* dst);
// Uploads w x h pixels in our CPU layout (rows `pitch` bytes apart) into a
// level of a GL texture at (x, y), converting as the format needs. Lock held.
void UploadToTexture(GLuint texture, GLint level, Format format, const uint8_t* pixels, int pitch, int x, int y,
                     int w, int h);

// Writes one pixel of `format` from a D3D colour (0xAARRGGBB); false when the
// format cannot be filled.
bool PackColor(Format format, uint32_t argb, uint8_t* out);

}  // namespace gfx
