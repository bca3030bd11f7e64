#pragma once
// Shared pieces of the image readers. Internal to the d3dx area.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/d3dx/image.h"

namespace d3dx::detail {

// Bounds-checked little-endian reads over one block of bytes.
struct Bytes {
  const uint8_t* data = nullptr;
  size_t size = 0;

  bool Has(size_t offset, size_t count) const { return offset <= size && count <= size - offset; }
  uint8_t U8(size_t o) const { return data[o]; }
  uint16_t U16(size_t o) const { return uint16_t(data[o] | data[o + 1] << 8); }
  uint32_t U32(size_t o) const {
    return uint32_t(data[o]) | uint32_t(data[o + 1]) << 8 | uint32_t(data[o + 2]) << 16 | uint32_t(data[o + 3]) << 24;
  }
  int32_t I32(size_t o) const { return static_cast<int32_t>(U32(o)); }
};

bool Fail(std::string* error, const std::string& message);

// Checks the size against the limits. Readers call it before they check that
// the data is there, and allocate only after both.
bool CheckImageSize(uint32_t width, uint32_t height, std::string* error);
// Checks the size and allocates the pixels (opaque black).
bool StartImage(Image& out, uint32_t width, uint32_t height, std::string* error);

// A channel given by a bit mask, widened to 8 bits.
struct MaskChannel {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit MaskChannel(uint32_t m = 0);
  uint8_t Extract(uint32_t pixel) const;
};

inline void PutPixel(Image& img, size_t index, uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  uint8_t* p = &img.pixels[index * 4];
  p[0] = b;
  p[1] = g;
  p[2] = r;
  p[3] = a;
}

bool ReadBmp(Bytes bytes, Image& out, std::string* error);
bool ReadTga(Bytes bytes, Image& out, std::string* error);
bool ReadDds(Bytes bytes, Image& out, std::string* error);
bool ReadPpm(Bytes bytes, Image& out, std::string* error);
bool ReadPng(Bytes bytes, Image& out, std::string* error);
bool ReadJpeg(Bytes bytes, Image& out, std::string* error);

bool LooksLikeBmp(Bytes bytes);
bool LooksLikeTga(Bytes bytes);

}  // namespace d3dx::detail
