#pragma once
// Image files decoded into memory: what D3DX reads before it makes a texture.
// Every reader checks each size and offset against the bytes it was given, so
// a corrupt or truncated file fails with a message and is never over-read.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace d3dx {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

// Pixel formats, numbered as Direct3D 9 numbers them so the device layer can
// map them one to one.
enum class Format : uint32_t {
  Unknown = 0,
  R8G8B8 = 20,
  A8R8G8B8 = 21,
  X8R8G8B8 = 22,
  R5G6B5 = 23,
  X1R5G5B5 = 24,
  A1R5G5B5 = 25,
  A4R4G4B4 = 26,
  A8 = 28,
  X4R4G4B4 = 30,
  A8B8G8R8 = 32,
  X8B8G8R8 = 33,
  A16B16G16R16 = 36,
  P8 = 41,
  L8 = 50,
  A8L8 = 51,
  L16 = 81,
  DXT1 = MakeFourCC('D', 'X', 'T', '1'),
  DXT2 = MakeFourCC('D', 'X', 'T', '2'),
  DXT3 = MakeFourCC('D', 'X', 'T', '3'),
  DXT4 = MakeFourCC('D', 'X', 'T', '4'),
  DXT5 = MakeFourCC('D', 'X', 'T', '5'),
};

bool IsCompressed(Format format);
// Bytes of one 4 × 4 block (DXT formats) or of one pixel (others); 0 when unknown.
uint32_t BlockOrPixelBytes(Format format);

enum class ResourceType : uint32_t { Texture = 3, VolumeTexture = 4, CubeTexture = 5 };

enum class ImageFileFormat : uint32_t { Bmp = 0, Jpg = 1, Tga = 2, Png = 3, Dds = 4, Ppm = 5, Dib = 6 };

// What D3DX reports about an image file.
struct ImageInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t depth = 1;
  uint32_t mipLevels = 1;  // levels stored in the file
  Format format = Format::Unknown;  // the file's own pixel format
  ResourceType resourceType = ResourceType::Texture;
  ImageFileFormat imageFileFormat = ImageFileFormat::Bmp;
};

// One level of block-compressed data as the file stores it.
struct CompressedLevel {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> blocks;
};

struct Image {
  ImageInfo info;
  // The top level, decoded: width × height pixels, top row first, 4 bytes a
  // pixel in the order B, G, R, A (A8R8G8B8 read as a little-endian word).
  // Images without alpha have A = 255.
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> pixels;
  bool hasAlpha = false;
  // DXT files also keep their blocks, every level the file holds, so that
  // they can be uploaded compressed.
  std::vector<CompressedLevel> compressedLevels;
};

// The formats are told apart by their contents, not by a file name: "BM" is
// a BMP file, a bare BITMAPINFOHEADER is a DIB (as bitmap resources hold them).
bool LoadImageFromMemory(std::span<const uint8_t> data, Image& out, std::string* error = nullptr);
bool LoadImageFromFile(const std::string& path, Image& out, std::string* error = nullptr);

// Largest image accepted, so that a forged header cannot ask for gigabytes.
inline constexpr uint32_t kMaxImageDimension = 16384;
inline constexpr uint64_t kMaxImagePixels = uint64_t(1) << 26;

}  // namespace d3dx
