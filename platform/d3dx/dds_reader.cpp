// DDS files holding one 2D texture: DXT1 to DXT5 (decoded, with every stored
// level also kept as blocks) and uncompressed RGB, luminance and alpha.
#include <algorithm>

#include "image_decode.h"

namespace d3dx::detail {
namespace {

constexpr size_t kDataOffset = 4 + 124;
constexpr uint32_t kMipMapCountFlag = 0x20000;
constexpr uint32_t kAlphaPixels = 0x1, kAlphaOnly = 0x2, kFourCC = 0x4, kRgb = 0x40, kLuminance = 0x20000;
constexpr uint32_t kCubeMap = 0x200, kVolume = 0x200000;

void Colour565(uint16_t c, uint8_t out[4]) {
  static const MaskChannel r(0xF800), g(0x07E0), b(0x001F);
  out[0] = b.Extract(c);
  out[1] = g.Extract(c);
  out[2] = r.Extract(c);
  out[3] = 255;
}

// The colour half of a block; `threeColour` allows DXT1's punch-through mode.
void DecodeColourBlock(const uint8_t* block, bool allowThreeColour, uint8_t texels[16][4]) {
  const uint16_t c0 = uint16_t(block[0] | block[1] << 8), c1 = uint16_t(block[2] | block[3] << 8);
  uint8_t palette[4][4];
  Colour565(c0, palette[0]);
  Colour565(c1, palette[1]);
  for (int ch = 0; ch < 3; ++ch) {
    if (c0 > c1 || !allowThreeColour) {
      palette[2][ch] = uint8_t((2 * palette[0][ch] + palette[1][ch] + 1) / 3);
      palette[3][ch] = uint8_t((palette[0][ch] + 2 * palette[1][ch] + 1) / 3);
    } else {
      palette[2][ch] = uint8_t((palette[0][ch] + palette[1][ch]) / 2);
      palette[3][ch] = 0;
    }
  }
  palette[2][3] = 255;
  palette[3][3] = (c0 > c1 || !allowThreeColour) ? 255 : 0;
  const uint32_t bits = uint32_t(block[4]) | uint32_t(block[5]) << 8 | uint32_t(block[6]) << 16 | uint32_t(block[7]) << 24;
  for (int i = 0; i < 16; ++i) std::copy(palette[(bits >> (2 * i)) & 3], palette[(bits >> (2 * i)) & 3] + 4, texels[i]);
}

void DecodeExplicitAlpha(const uint8_t* block, uint8_t texels[16][4]) {
  for (int i = 0; i < 16; ++i) {
    uint8_t nibble = (block[i / 2] >> (4 * (i % 2))) & 0xF;
    texels[i][3] = uint8_t(nibble * 17);
  }
}

void DecodeInterpolatedAlpha(const uint8_t* block, uint8_t texels[16][4]) {
  uint8_t a[8];
  a[0] = block[0];
  a[1] = block[1];
  if (a[0] > a[1]) {
    for (int i = 1; i < 7; ++i) a[i + 1] = uint8_t(((7 - i) * a[0] + i * a[1] + 3) / 7);
  } else {
    for (int i = 1; i < 5; ++i) a[i + 1] = uint8_t(((5 - i) * a[0] + i * a[1] + 2) / 5);
    a[6] = 0;
    a[7] = 255;
  }
  uint64_t bits = 0;
  for (int i = 0; i < 6; ++i) bits |= uint64_t(block[2 + i]) << (8 * i);
  for (int i = 0; i < 16; ++i) texels[i][3] = a[(bits >> (3 * i)) & 7];
}

size_t LevelBytes(Format format, uint32_t w, uint32_t h) {
  return size_t(std::max(1u, (w + 3) / 4)) * std::max(1u, (h + 3) / 4) * BlockOrPixelBytes(format);
}

}  // namespace

bool ReadDds(Bytes b, Image& out, std::string* error) {
  out.info.imageFileFormat = ImageFileFormat::Dds;
  if (!b.Has(0, kDataOffset)) return Fail(error, "DDS header is truncated");
  if (b.U32(4) != 124 || b.U32(76) != 32) return Fail(error, "DDS header has the wrong size");
  const uint32_t flags = b.U32(8), height = b.U32(12), width = b.U32(16);
  const uint32_t pfFlags = b.U32(80), fourCC = b.U32(84), bitCount = b.U32(88);
  const uint32_t masks[4] = {b.U32(92), b.U32(96), b.U32(100), b.U32(104)};
  const uint32_t caps2 = b.U32(112);
  if (caps2 & (kCubeMap | kVolume)) return Fail(error, "cube and volume DDS files are not supported");
  if (!CheckImageSize(width, height, error)) return false;

  uint32_t fullChain = 1;
  for (uint32_t s = std::max(width, height); s > 1; s >>= 1) ++fullChain;
  uint32_t levels = (flags & kMipMapCountFlag) && b.U32(28) > 0 ? std::min(b.U32(28), fullChain) : 1;
  out.info.mipLevels = levels;

  if (pfFlags & kFourCC) {
    const Format format = static_cast<Format>(fourCC);
    if (!IsCompressed(format)) return Fail(error, "DDS pixel format is not supported");
    out.info.format = format;
    size_t at = kDataOffset;
    uint32_t w = width, h = height;
    for (uint32_t level = 0; level < levels; ++level) {
      const size_t bytes = LevelBytes(format, w, h);
      if (!b.Has(at, bytes)) return Fail(error, "DDS data is truncated");
      if (level == 0 && !StartImage(out, width, height, error)) return false;
      out.compressedLevels.push_back({w, h, std::vector<uint8_t>(b.data + at, b.data + at + bytes)});
      at += bytes;
      w = std::max(1u, w / 2);
      h = std::max(1u, h / 2);
    }
    const uint8_t* top = out.compressedLevels[0].blocks.data();
    const uint32_t blocksWide = std::max(1u, (width + 3) / 4), blocksHigh = std::max(1u, (height + 3) / 4);
    const size_t blockBytes = BlockOrPixelBytes(format);
    bool anyAlpha = false;
    for (uint32_t by = 0; by < blocksHigh; ++by) {
      for (uint32_t bx = 0; bx < blocksWide; ++bx) {
        const uint8_t* block = top + (size_t(by) * blocksWide + bx) * blockBytes;
        uint8_t texels[16][4];
        if (format == Format::DXT1) {
          DecodeColourBlock(block, true, texels);
        } else {
          DecodeColourBlock(block + 8, false, texels);
          if (format == Format::DXT2 || format == Format::DXT3) {
            DecodeExplicitAlpha(block, texels);
          } else {
            DecodeInterpolatedAlpha(block, texels);
          }
        }
        for (int i = 0; i < 16; ++i) {
          uint32_t x = bx * 4 + i % 4, y = by * 4 + i / 4;
          if (x >= width || y >= height) continue;
          anyAlpha |= texels[i][3] != 255;
          PutPixel(out, size_t(y) * width + x, texels[i][0], texels[i][1], texels[i][2], texels[i][3]);
        }
      }
    }
    out.hasAlpha = format != Format::DXT1 || anyAlpha;
    return true;
  }

  // Uncompressed: only the top level is read.
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) {
    return Fail(error, "DDS bit count " + std::to_string(bitCount) + " is not supported");
  }
  const bool alphaOnly = (pfFlags & kAlphaOnly) && !(pfFlags & (kRgb | kLuminance));
  if (!(pfFlags & (kRgb | kLuminance)) && !alphaOnly) return Fail(error, "DDS pixel format is not supported");
  const bool hasAlpha = (pfFlags & (kAlphaPixels | kAlphaOnly)) && masks[3] != 0;
  const size_t pixelBytes = bitCount / 8;
  const size_t rowBytes = size_t(width) * pixelBytes;
  if (!b.Has(kDataOffset, rowBytes * height)) return Fail(error, "DDS data is truncated");
  if (!StartImage(out, width, height, error)) return false;
  const MaskChannel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(hasAlpha ? masks[3] : 0);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = b.data + kDataOffset + rowBytes * y;
    for (uint32_t x = 0; x < width; ++x) {
      uint32_t v = 0;
      for (size_t i = 0; i < pixelBytes; ++i) v |= uint32_t(row[x * pixelBytes + i]) << (8 * i);
      uint8_t a = hasAlpha ? alpha.Extract(v) : 255;
      size_t index = size_t(y) * width + x;
      if (alphaOnly) {
        PutPixel(out, index, 0, 0, 0, a);
      } else if (pfFlags & kLuminance) {
        uint8_t l = red.Extract(v);
        PutPixel(out, index, l, l, l, a);
      } else {
        PutPixel(out, index, blue.Extract(v), green.Extract(v), red.Extract(v), a);
      }
    }
  }
  out.hasAlpha = hasAlpha;
  if (alphaOnly) {
    out.info.format = Format::A8;
  } else if (pfFlags & kLuminance) {
    out.info.format = bitCount == 16 ? (hasAlpha ? Format::A8L8 : Format::L16) : Format::L8;
  } else if (bitCount == 24) {
    out.info.format = Format::R8G8B8;
  } else if (bitCount == 32) {
    bool rgbOrder = masks[0] == 0xFF;
    out.info.format = rgbOrder ? (hasAlpha ? Format::A8B8G8R8 : Format::X8B8G8R8)
                               : (hasAlpha ? Format::A8R8G8B8 : Format::X8R8G8B8);
  } else if (bitCount == 16) {
    if (masks[1] == 0x07E0) {
      out.info.format = Format::R5G6B5;
    } else if (masks[1] == 0x00F0) {
      out.info.format = hasAlpha ? Format::A4R4G4B4 : Format::X4R4G4B4;
    } else {
      out.info.format = hasAlpha ? Format::A1R5G5B5 : Format::X1R5G5B5;
    }
  } else {
    out.info.format = Format::L8;
  }
  return true;
}

}  // namespace d3dx::detail
