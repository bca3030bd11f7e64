// PNG through libpng's simplified reader, which expands palettes, grey,
// transparency chunks and 16-bit samples to 8-bit B, G, R, A for us.
#include <png.h>

#include <cstring>

#include "image_decode.h"

namespace d3dx::detail {

bool ReadPng(Bytes b, Image& out, std::string* error) {
  out.info.imageFileFormat = ImageFileFormat::Png;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, b.data, b.size)) {
    return Fail(error, std::string("PNG: ") + image.message);
  }
  const png_uint_32 sourceFormat = image.format;
  if (!StartImage(out, image.width, image.height, error)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_BGRA;
  if (!png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr)) {
    std::string message = image.message;
    png_image_free(&image);
    return Fail(error, "PNG: " + message);
  }
  const bool colour = sourceFormat & PNG_FORMAT_FLAG_COLOR;
  const bool alpha = sourceFormat & PNG_FORMAT_FLAG_ALPHA;
  if (sourceFormat & PNG_FORMAT_FLAG_COLORMAP) {
    out.info.format = Format::P8;
  } else if (!colour) {
    out.info.format = alpha ? Format::A8L8 : ((sourceFormat & PNG_FORMAT_FLAG_LINEAR) ? Format::L16 : Format::L8);
  } else if (sourceFormat & PNG_FORMAT_FLAG_LINEAR) {
    out.info.format = Format::A16B16G16R16;
  } else {
    out.info.format = alpha ? Format::A8R8G8B8 : Format::R8G8B8;
  }
  out.hasAlpha = alpha;
  return true;
}

}  // namespace d3dx::detail
