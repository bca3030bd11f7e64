#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/d3dx/image.h"
#include "image_decode.h"

namespace d3dx {

bool IsCompressed(Format format) {
  switch (format) {
    case Format::DXT1:
    case Format::DXT2:
    case Format::DXT3:
    case Format::DXT4:
    case Format::DXT5:
      return true;
    default:
      return false;
  }
}

uint32_t BlockOrPixelBytes(Format format) {
  switch (format) {
    case Format::DXT1:
      return 8;
    case Format::DXT2:
    case Format::DXT3:
    case Format::DXT4:
    case Format::DXT5:
      return 16;
    case Format::A8R8G8B8:
    case Format::X8R8G8B8:
    case Format::A8B8G8R8:
    case Format::X8B8G8R8:
      return 4;
    case Format::R8G8B8:
      return 3;
    case Format::R5G6B5:
    case Format::X1R5G5B5:
    case Format::A1R5G5B5:
    case Format::A4R4G4B4:
    case Format::X4R4G4B4:
    case Format::A8L8:
    case Format::L16:
      return 2;
    case Format::A8:
    case Format::P8:
    case Format::L8:
      return 1;
    case Format::A16B16G16R16:
      return 8;
    case Format::Unknown:
      return 0;
  }
  return 0;
}

namespace detail {

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

bool CheckImageSize(uint32_t width, uint32_t height, std::string* error) {
  if (width == 0 || height == 0) return Fail(error, "image has no pixels");
  if (width > kMaxImageDimension || height > kMaxImageDimension || uint64_t(width) * height > kMaxImagePixels) {
    return Fail(error, "image of " + std::to_string(width) + " x " + std::to_string(height) + " is too large");
  }
  return true;
}

bool StartImage(Image& out, uint32_t width, uint32_t height, std::string* error) {
  if (!CheckImageSize(width, height, error)) return false;
  out.width = width;
  out.height = height;
  out.info.width = width;
  out.info.height = height;
  out.pixels.assign(size_t(width) * height * 4, 0);
  for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
  return true;
}

MaskChannel::MaskChannel(uint32_t m) : mask(m) {
  if (m == 0) return;
  while (!((m >> shift) & 1)) ++shift;
  while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
}

uint8_t MaskChannel::Extract(uint32_t pixel) const {
  if (bits == 0) return 0;
  uint32_t v = (pixel & mask) >> shift;
  if (bits >= 8) return uint8_t(v >> (bits - 8));
  // Replicate the high bits into the low ones so that full scale is 255.
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << bits) | v;
    filled += bits;
  }
  return uint8_t(out >> (filled - 8));
}

}  // namespace detail

using detail::Bytes;

bool LoadImageFromMemory(std::span<const uint8_t> data, Image& out, std::string* error) {
  out = Image{};
  Bytes bytes{data.data(), data.size()};
  auto starts = [&](const char* magic, size_t n) { return bytes.Has(0, n) && std::memcmp(bytes.data, magic, n) == 0; };
  bool ok;
  if (starts("\x89PNG\r\n\x1a\n", 8)) {
    ok = detail::ReadPng(bytes, out, error);
  } else if (starts("\xFF\xD8\xFF", 3)) {
    ok = detail::ReadJpeg(bytes, out, error);
  } else if (starts("DDS ", 4)) {
    ok = detail::ReadDds(bytes, out, error);
  } else if (detail::LooksLikeBmp(bytes)) {
    ok = detail::ReadBmp(bytes, out, error);
  } else if (bytes.Has(0, 2) && bytes.U8(0) == 'P' && std::strchr("2356", bytes.U8(1)) && bytes.U8(1) != 0) {
    ok = detail::ReadPpm(bytes, out, error);
  } else if (detail::LooksLikeTga(bytes)) {
    ok = detail::ReadTga(bytes, out, error);
  } else {
    return detail::Fail(error, data.empty() ? "no image data" : "unrecognised image format");
  }
  if (!ok) {
    out = Image{};
    return false;
  }
  return true;
}

bool LoadImageFromFile(const std::string& path, Image& out, std::string* error) {
  out = Image{};
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) return detail::Fail(error, "cannot open " + path);
  std::vector<uint8_t> data;
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) data.insert(data.end(), buffer, buffer + n);
  if (std::ferror(file.get())) return detail::Fail(error, "cannot read " + path);
  std::string message;
  if (!LoadImageFromMemory(data, out, &message)) return detail::Fail(error, path + ": " + message);
  return true;
}

}  // namespace d3dx
