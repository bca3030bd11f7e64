// BMP files and bare DIBs (bitmap resources hold the DIB without the
// 14-byte file header): 1, 4 and 8 bits with a palette, 16, 24 and 32 bits,
// plain or with bit-field masks.
#include <algorithm>
#include <array>

#include "image_decode.h"

namespace d3dx::detail {
namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kRgb = 0, kBitFields = 3, kAlphaBitFields = 6;

bool IsDibHeaderSize(uint32_t size) {
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool IsBitCount(uint32_t bits) { return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32; }

bool DibAt(Bytes b, size_t at) {
  if (!b.Has(at, 12)) return false;
  uint32_t size = b.U32(at);
  if (!IsDibHeaderSize(size) || !b.Has(at, 16)) return false;
  if (size == 12) return b.U16(at + 8) == 1 && IsBitCount(b.U16(at + 10));
  return b.U16(at + 12) == 1 && IsBitCount(b.U16(at + 14));
}

Format MaskFormat(uint32_t bits, uint32_t r, uint32_t g, uint32_t bl, uint32_t a) {
  if (bits == 16) {
    if (r == 0xF800 && g == 0x07E0 && bl == 0x001F && a == 0) return Format::R5G6B5;
    if (r == 0x7C00 && g == 0x03E0 && bl == 0x001F) return a == 0x8000 ? Format::A1R5G5B5 : Format::X1R5G5B5;
    if (r == 0x0F00 && g == 0x00F0 && bl == 0x000F) return a == 0xF000 ? Format::A4R4G4B4 : Format::X4R4G4B4;
  } else if (bits == 32) {
    if (r == 0xFF0000 && g == 0xFF00 && bl == 0xFF) return a ? Format::A8R8G8B8 : Format::X8R8G8B8;
    if (r == 0xFF && g == 0xFF00 && bl == 0xFF0000) return a ? Format::A8B8G8R8 : Format::X8B8G8R8;
  }
  return a ? Format::A8R8G8B8 : Format::X8R8G8B8;
}

}  // namespace

bool LooksLikeBmp(Bytes b) {
  if (b.Has(0, 2) && b.U8(0) == 'B' && b.U8(1) == 'M') return DibAt(b, kFileHeaderSize);
  return DibAt(b, 0);
}

bool ReadBmp(Bytes b, Image& out, std::string* error) {
  const bool withFileHeader = b.U8(0) == 'B' && b.U8(1) == 'M';
  const size_t dib = withFileHeader ? kFileHeaderSize : 0;
  out.info.imageFileFormat = withFileHeader ? ImageFileFormat::Bmp : ImageFileFormat::Dib;
  const uint32_t headerSize = b.U32(dib);
  if (!b.Has(dib, headerSize)) return Fail(error, "BMP header is truncated");

  int64_t width, height;
  uint32_t bits, compression = kRgb, colorsUsed = 0;
  uint32_t masks[4] = {0, 0, 0, 0};
  size_t afterHeader = dib + headerSize;
  uint32_t paletteEntrySize = 4;
  if (headerSize == 12) {
    width = b.U16(dib + 4);
    height = b.U16(dib + 6);
    bits = b.U16(dib + 10);
    paletteEntrySize = 3;
  } else {
    width = b.I32(dib + 4);
    height = b.I32(dib + 8);
    bits = b.U16(dib + 14);
    compression = b.U32(dib + 16);
    colorsUsed = b.U32(dib + 32);
    if (compression == kBitFields || compression == kAlphaBitFields) {
      if (headerSize >= 52) {
        for (int i = 0; i < 3; ++i) masks[i] = b.U32(dib + 40 + 4 * i);
        if (headerSize >= 56) masks[3] = b.U32(dib + 52);
      } else {
        // A 40-byte header keeps its masks after itself.
        size_t count = compression == kAlphaBitFields ? 4 : 3;
        if (!b.Has(afterHeader, count * 4)) return Fail(error, "BMP bit-field masks are truncated");
        for (size_t i = 0; i < count; ++i) masks[i] = b.U32(afterHeader + 4 * i);
        afterHeader += count * 4;
      }
    } else if (headerSize >= 56 && compression == kRgb && bits == 32) {
      masks[3] = b.U32(dib + 52);
    }
  }
  if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields) {
    return Fail(error, "BMP compression " + std::to_string(compression) + " is not supported");
  }
  if (compression != kRgb && bits != 16 && bits != 32) return Fail(error, "BMP bit fields need 16 or 32 bits");
  if (width <= 0 || height == 0 || height == INT32_MIN) return Fail(error, "BMP has an invalid size");
  const bool topDown = height < 0;
  const uint32_t w = uint32_t(width), h = uint32_t(topDown ? -height : height);
  if (!CheckImageSize(w, h, error)) return false;

  // Palette.
  std::array<std::array<uint8_t, 4>, 256> palette{};
  uint32_t paletteCount = 0;
  if (bits <= 8) {
    uint32_t maxCount = 1u << bits;
    paletteCount = colorsUsed == 0 ? maxCount : std::min(colorsUsed, maxCount);
  }
  // A DIB's pixels follow the colour table it declares, used or not.
  const uint64_t paletteBytes =
      uint64_t(colorsUsed ? colorsUsed : (bits <= 8 ? 1u << bits : 0)) * paletteEntrySize;
  if (paletteCount && !b.Has(afterHeader, size_t(paletteCount) * paletteEntrySize)) {
    return Fail(error, "BMP palette is truncated");
  }
  for (uint32_t i = 0; i < paletteCount; ++i) {
    size_t at = afterHeader + size_t(i) * paletteEntrySize;
    palette[i] = {b.U8(at), b.U8(at + 1), b.U8(at + 2), 255};
  }

  size_t pixelOffset;
  if (withFileHeader) {
    pixelOffset = b.U32(10);
  } else {
    if (paletteBytes > b.size) return Fail(error, "BMP palette is truncated");
    pixelOffset = afterHeader + size_t(paletteBytes);
  }
  const uint64_t stride = (uint64_t(w) * bits + 31) / 32 * 4;
  const uint64_t lastRow = (uint64_t(w) * bits + 7) / 8;
  const uint64_t needed = stride * (h - 1) + lastRow;
  if (needed > b.size || !b.Has(pixelOffset, size_t(needed))) return Fail(error, "BMP pixel data is truncated");
  if (!StartImage(out, w, h, error)) return false;

  if (compression == kRgb) {
    if (bits == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bits == 32) {
      masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    }
  }
  const MaskChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  // A plain 32-bit BMP's fourth byte is alpha only when some pixel uses it:
  // most writers leave it 0, which must not make the image invisible.
  bool plainAlpha = false;
  if (compression == kRgb && bits == 32 && masks[3] == 0) {
    for (uint32_t y = 0; y < h && !plainAlpha; ++y) {
      const uint8_t* row = b.data + pixelOffset + stride * y;
      for (uint32_t x = 0; x < w; ++x) {
        if (row[x * 4 + 3] != 0) {
          plainAlpha = true;
          break;
        }
      }
    }
  }

  for (uint32_t y = 0; y < h; ++y) {
    const uint8_t* row = b.data + pixelOffset + stride * y;
    const uint32_t outRow = topDown ? y : h - 1 - y;
    for (uint32_t x = 0; x < w; ++x) {
      size_t index = size_t(outRow) * w + x;
      if (bits <= 8) {
        uint32_t bitPos = x * bits;
        uint32_t value = (row[bitPos / 8] >> (8 - bits - bitPos % 8)) & ((1u << bits) - 1);
        const auto& c = palette[value];  // indexes past the palette read black
        PutPixel(out, index, c[0], c[1], c[2], 255);
      } else if (bits == 24) {
        PutPixel(out, index, row[x * 3], row[x * 3 + 1], row[x * 3 + 2], 255);
      } else {
        uint32_t v = bits == 16 ? uint32_t(row[x * 2] | row[x * 2 + 1] << 8)
                                : uint32_t(row[x * 4]) | uint32_t(row[x * 4 + 1]) << 8 |
                                      uint32_t(row[x * 4 + 2]) << 16 | uint32_t(row[x * 4 + 3]) << 24;
        uint8_t a = masks[3] ? alpha.Extract(v) : plainAlpha ? uint8_t(v >> 24) : 255;
        PutPixel(out, index, blue.Extract(v), green.Extract(v), red.Extract(v), a);
      }
    }
  }

  if (bits <= 8) {
    out.info.format = Format::P8;
  } else if (bits == 24) {
    out.info.format = Format::R8G8B8;
  } else {
    out.info.format = MaskFormat(bits, masks[0], masks[1], masks[2], masks[3] ? masks[3] : plainAlpha ? 0xFF000000u : 0);
  }
  out.hasAlpha = masks[3] != 0 || plainAlpha;
  return true;
}

}  // namespace d3dx::detail
