// TGA files: colour-mapped, true-colour and grey, uncompressed and RLE.
#include <vector>

#include "image_decode.h"

namespace d3dx::detail {
namespace {

constexpr size_t kHeaderSize = 18;

bool IsImageType(uint8_t t) { return t == 1 || t == 2 || t == 3 || t == 9 || t == 10 || t == 11; }

struct TgaHeader {
  uint8_t idLength, colorMapType, imageType, mapEntryBits, bits, descriptor;
  uint16_t mapFirst, mapLength, width, height;
};

TgaHeader ParseHeader(Bytes b) {
  return {b.U8(0),  b.U8(1),  b.U8(2),  b.U8(7),  b.U8(16), b.U8(17),
          b.U16(3), b.U16(5), b.U16(12), b.U16(14)};
}

bool ValidHeader(const TgaHeader& h) {
  if (h.colorMapType > 1 || !IsImageType(h.imageType) || h.width == 0 || h.height == 0) return false;
  const uint8_t kind = h.imageType & 3;
  if (kind == 1) {
    if (h.colorMapType != 1 || (h.bits != 8 && h.bits != 16)) return false;
    if (h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 && h.mapEntryBits != 32) return false;
  } else if (kind == 2) {
    if (h.bits != 15 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;
  } else if (h.bits != 8 && h.bits != 16) {
    return false;
  }
  return true;
}

// One true-colour value of 15, 16, 24 or 32 bits as B, G, R, A.
void DecodeColour(const uint8_t* p, int bits, bool useAlpha, uint8_t out[4]) {
  if (bits <= 16) {
    uint32_t v = uint32_t(p[0] | p[1] << 8);
    static const MaskChannel r(0x7C00), g(0x03E0), b(0x001F);
    out[0] = b.Extract(v);
    out[1] = g.Extract(v);
    out[2] = r.Extract(v);
    out[3] = useAlpha && bits == 16 ? ((v & 0x8000) ? 255 : 0) : 255;
  } else {
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    out[3] = bits == 32 && useAlpha ? p[3] : 255;
  }
}

}  // namespace

bool LooksLikeTga(Bytes b) { return b.Has(0, kHeaderSize) && ValidHeader(ParseHeader(b)); }

bool ReadTga(Bytes b, Image& out, std::string* error) {
  const TgaHeader h = ParseHeader(b);
  out.info.imageFileFormat = ImageFileFormat::Tga;
  const uint8_t kind = h.imageType & 3;
  const bool rle = h.imageType >= 9;
  const bool useAlpha = (h.descriptor & 0x0F) != 0;
  if (!CheckImageSize(h.width, h.height, error)) return false;

  size_t at = kHeaderSize + h.idLength;
  std::vector<uint8_t> map;  // B, G, R, A per entry
  if (h.colorMapType == 1) {
    const size_t entryBytes = (h.mapEntryBits + 7) / 8;
    if (!b.Has(at, entryBytes * h.mapLength)) return Fail(error, "TGA colour map is truncated");
    if (kind == 1) {
      map.resize(size_t(h.mapLength) * 4);
      for (size_t i = 0; i < h.mapLength; ++i) DecodeColour(b.data + at + i * entryBytes, h.mapEntryBits, useAlpha || h.mapEntryBits == 32, &map[i * 4]);
    }
    at += entryBytes * h.mapLength;
  }

  const size_t pixelBytes = (h.bits + 7) / 8;
  const size_t count = size_t(h.width) * h.height;
  // Even all runs of 128 need one packet per 128 pixels: refuse before allocating.
  const size_t least = rle ? (count + 127) / 128 * (1 + pixelBytes) : count * pixelBytes;
  if (!b.Has(at, least)) return Fail(error, rle ? "TGA run data is truncated" : "TGA pixel data is truncated");
  if (!StartImage(out, h.width, h.height, error)) return false;
  std::vector<uint8_t> decoded(count * 4);
  auto convert = [&](const uint8_t* p, uint8_t* dst) {
    if (kind == 1) {
      uint32_t index = pixelBytes == 1 ? p[0] : uint32_t(p[0] | p[1] << 8);
      uint32_t entry = index - h.mapFirst;
      if (index >= h.mapFirst && entry < h.mapLength) {
        std::copy(&map[entry * 4], &map[entry * 4] + 4, dst);
      } else {
        dst[0] = dst[1] = dst[2] = 0;
        dst[3] = 255;
      }
    } else if (kind == 2) {
      DecodeColour(p, h.bits, useAlpha, dst);
    } else {
      dst[0] = dst[1] = dst[2] = p[0];
      dst[3] = pixelBytes == 2 ? p[1] : 255;
    }
  };

  size_t done = 0;
  while (done < count) {
    if (!rle) {
      if (!b.Has(at, pixelBytes * count)) return Fail(error, "TGA pixel data is truncated");
      for (; done < count; ++done) convert(b.data + at + done * pixelBytes, &decoded[done * 4]);
      break;
    }
    if (!b.Has(at, 1)) return Fail(error, "TGA run data is truncated");
    const uint8_t packet = b.U8(at++);
    size_t run = (packet & 0x7F) + 1;
    if (run > count - done) return Fail(error, "TGA run passes the end of the image");
    if (packet & 0x80) {
      if (!b.Has(at, pixelBytes)) return Fail(error, "TGA run data is truncated");
      uint8_t pixel[4] = {0, 0, 0, 255};
      convert(b.data + at, pixel);
      at += pixelBytes;
      for (size_t i = 0; i < run; ++i, ++done) std::copy(pixel, pixel + 4, &decoded[done * 4]);
    } else {
      if (!b.Has(at, pixelBytes * run)) return Fail(error, "TGA run data is truncated");
      for (size_t i = 0; i < run; ++i, ++done, at += pixelBytes) convert(b.data + at, &decoded[done * 4]);
    }
  }

  const bool topDown = (h.descriptor & 0x20) != 0;
  const bool rightToLeft = (h.descriptor & 0x10) != 0;
  for (uint32_t y = 0; y < h.height; ++y) {
    const uint32_t outY = topDown ? y : h.height - 1 - y;
    for (uint32_t x = 0; x < h.width; ++x) {
      const uint32_t outX = rightToLeft ? h.width - 1 - x : x;
      const uint8_t* src = &decoded[(size_t(y) * h.width + x) * 4];
      PutPixel(out, size_t(outY) * h.width + outX, src[0], src[1], src[2], src[3]);
    }
  }

  if (kind == 1) {
    out.info.format = Format::P8;
    out.hasAlpha = h.mapEntryBits == 32 || (useAlpha && h.mapEntryBits == 16);
  } else if (kind == 3) {
    out.info.format = pixelBytes == 2 ? Format::A8L8 : Format::L8;
    out.hasAlpha = pixelBytes == 2;
  } else if (h.bits == 32) {
    out.info.format = useAlpha ? Format::A8R8G8B8 : Format::X8R8G8B8;
    out.hasAlpha = useAlpha;
  } else if (h.bits == 24) {
    out.info.format = Format::R8G8B8;
  } else {
    out.hasAlpha = useAlpha && h.bits == 16;
    out.info.format = out.hasAlpha ? Format::A1R5G5B5 : Format::X1R5G5B5;
  }
  return true;
}

}  // namespace d3dx::detail
