// Netpbm colour and grey maps: P3 and P2 (text), P6 and P5 (binary), with
// one or two bytes a sample.
#include <algorithm>
#include <cctype>

#include "image_decode.h"

namespace d3dx::detail {
namespace {

struct Cursor {
  Bytes b;
  size_t at;

  void SkipSpaceAndComments() {
    while (at < b.size) {
      if (b.data[at] == '#') {
        while (at < b.size && b.data[at] != '\n' && b.data[at] != '\r') ++at;
      } else if (std::isspace(b.data[at])) {
        ++at;
      } else {
        break;
      }
    }
  }

  // A decimal number up to `limit`; false when missing or too large.
  bool Number(uint32_t limit, uint32_t& value) {
    SkipSpaceAndComments();
    if (at >= b.size || !std::isdigit(b.data[at])) return false;
    uint64_t v = 0;
    while (at < b.size && std::isdigit(b.data[at])) {
      v = v * 10 + (b.data[at++] - '0');
      if (v > limit) return false;
    }
    value = uint32_t(v);
    return true;
  }
};

}  // namespace

bool ReadPpm(Bytes b, Image& out, std::string* error) {
  out.info.imageFileFormat = ImageFileFormat::Ppm;
  const char kind = char(b.U8(1));
  const bool colour = kind == '3' || kind == '6';
  const bool binary = kind == '5' || kind == '6';
  Cursor c{b, 2};
  uint32_t width, height, maxValue;
  if (!c.Number(kMaxImageDimension, width) || !c.Number(kMaxImageDimension, height) || !c.Number(65535, maxValue) ||
      maxValue == 0) {
    return Fail(error, "PPM header is invalid");
  }
  if (!CheckImageSize(width, height, error)) return false;
  const size_t channels = colour ? 3 : 1;
  const size_t samples = size_t(width) * height * channels;
  const size_t sampleBytes = maxValue > 255 ? 2 : 1;
  if (binary) {
    // Exactly one white-space character ends the header.
    if (c.at >= b.size || !std::isspace(b.data[c.at])) return Fail(error, "PPM header is invalid");
    ++c.at;
    if (!b.Has(c.at, samples * sampleBytes)) return Fail(error, "PPM pixel data is truncated");
  } else if (!b.Has(c.at, samples)) {
    // Each text sample takes at least one character.
    return Fail(error, "PPM pixel data is truncated");
  }
  if (!StartImage(out, width, height, error)) return false;
  auto scale = [&](uint32_t v) { return uint8_t((std::min(v, maxValue) * 255 + maxValue / 2) / maxValue); };
  uint8_t rgb[3];
  for (size_t i = 0; i < size_t(width) * height; ++i) {
    for (size_t ch = 0; ch < channels; ++ch) {
      uint32_t v;
      if (binary) {
        v = sampleBytes == 2 ? uint32_t(b.data[c.at] << 8 | b.data[c.at + 1]) : b.data[c.at];
        c.at += sampleBytes;
      } else if (!c.Number(65535, v)) {
        return Fail(error, "PPM pixel data is truncated or invalid");
      }
      rgb[ch] = scale(v);
    }
    if (colour) {
      PutPixel(out, i, rgb[2], rgb[1], rgb[0], 255);
    } else {
      PutPixel(out, i, rgb[0], rgb[0], rgb[0], 255);
    }
  }
  out.info.format = colour ? Format::R8G8B8 : Format::L8;
  return true;
}

}  // namespace d3dx::detail
