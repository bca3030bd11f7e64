// JPEG through libjpeg. Its errors come back by longjmp, so nothing with a
// destructor lives in DecodeJpeg's frame between setjmp and the end.
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "image_decode.h"

namespace d3dx::detail {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool truncated;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  err->base.format_message(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  // A warning about missing data means the picture is incomplete: refuse it
  // rather than show grey rows.
  if (level < 0 && (err->base.msg_code == JWRN_JPEG_EOF || err->base.msg_code == JWRN_HIT_MARKER)) {
    err->truncated = true;
  }
}

// Returns 0 on success, 1 on a libjpeg error (message in err), 2 when too large, 3 truncated.
int DecodeJpeg(Bytes b, Image& out, ErrorManager& err, jpeg_decompress_struct& cinfo, Format& sourceFormat) {
  if (setjmp(err.jump)) return 1;
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, b.data, static_cast<unsigned long>(b.size));
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  sourceFormat = cinfo.num_components == 1 ? Format::L8 : Format::R8G8B8;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  if (cinfo.image_width > kMaxImageDimension || cinfo.image_height > kMaxImageDimension ||
      uint64_t(cinfo.image_width) * cinfo.image_height > kMaxImagePixels) {
    return 2;
  }
  jpeg_start_decompress(&cinfo);
  if (!StartImage(out, cinfo.output_width, cinfo.output_height, nullptr)) return 2;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.pixels.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 4;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return 3;
    if (cmyk) {
      // Adobe writes CMYK inverted: each byte is already 255 - ink.
      for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
        uint8_t* p = row + x * 4;
        const unsigned c = p[0], m = p[1], y = p[2], k = p[3];
        PutPixel(out, size_t(cinfo.output_scanline - 1) * cinfo.output_width + x, uint8_t(y * k / 255),
                 uint8_t(m * k / 255), uint8_t(c * k / 255), 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  return err.truncated ? 3 : 0;
}

}  // namespace

bool ReadJpeg(Bytes b, Image& out, std::string* error) {
  out.info.imageFileFormat = ImageFileFormat::Jpg;
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnError;
  err.base.emit_message = OnMessage;
  Format sourceFormat = Format::R8G8B8;
  const int result = DecodeJpeg(b, out, err, cinfo, sourceFormat);
  jpeg_destroy_decompress(&cinfo);
  switch (result) {
    case 0:
      out.info.format = sourceFormat;
      for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
      return true;
    case 1:
      return Fail(error, std::string("JPEG: ") + err.message);
    case 2:
      return Fail(error, "JPEG image is too large");
    default:
      return Fail(error, "JPEG data is truncated");
  }
}

}  // namespace d3dx::detail
