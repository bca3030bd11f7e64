#pragma once
// The CPU half of creating a texture from an image file, as D3DX's
// CreateTextureFromFileEx and CreateTextureFromFileInMemoryEx do it: read the
// image, choose the texture's size, format and level count, scale the image
// to that size and build the mip chain. The result is the level data to
// upload; the device makes the texture.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/d3dx/image.h"

namespace d3dx {

// Size and level arguments, with D3DX's values.
inline constexpr uint32_t kDefault = 0xFFFFFFFFu;         // size from the file; full mip chain
inline constexpr uint32_t kDefaultNonPow2 = 0xFFFFFFFEu;  // size from the file
inline constexpr uint32_t kFromFile = 0xFFFFFFFDu;        // levels: as many as the file holds

// Filters (the low byte of a filter argument; the flag bits above it are ignored).
enum class Filter : uint32_t { None = 1, Point = 2, Linear = 3, Triangle = 4, Box = 5 };

// What the device can take, as far as the choice of size and format goes.
struct TextureDeviceCaps {
  bool powerOfTwoOnly = false;  // sizes are rounded up to powers of two
  uint32_t maxWidth = 8192;
  uint32_t maxHeight = 8192;
  bool compressedFormats = true;  // DXT1-5 textures can be created
};

struct TextureRequest {
  uint32_t width = kDefault;   // 0, kDefault or kDefaultNonPow2: the image's width
  uint32_t height = kDefault;  // likewise
  uint32_t mipLevels = kDefault;  // 0 or kDefault: down to 1 × 1; kFromFile: the file's count
  Format format = Format::Unknown;  // Unknown: chosen from the file
  uint32_t filter = kDefault;     // image to texture; kDefault: box
  uint32_t mipFilter = kDefault;  // each level from the one above; kDefault: box
  uint32_t colorKey = 0;          // A8R8G8B8 value made transparent black; 0: none
};

struct TextureLevel {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t pitch = 0;  // bytes per row (per row of blocks for DXT formats)
  std::vector<uint8_t> data;
};

struct TextureData {
  ImageInfo info;              // what the file holds, as D3DX reports it
  Format format = Format::Unknown;  // the texture's format
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<TextureLevel> levels;  // largest first
};

// The formats PrepareTexture can write. 32-bit data is B, G, R, A (or R, G,
// B, A for the A8B8G8R8 pair) in memory; 16-bit data is little-endian words.
bool CanWriteFormat(Format format);

bool PrepareTexture(const Image& image, const TextureRequest& request, const TextureDeviceCaps& caps,
                    TextureData& out, std::string* error = nullptr);
bool PrepareTextureFromFile(const std::string& path, const TextureRequest& request, const TextureDeviceCaps& caps,
                            TextureData& out, std::string* error = nullptr);
bool PrepareTextureFromMemory(std::span<const uint8_t> data, const TextureRequest& request,
                              const TextureDeviceCaps& caps, TextureData& out, std::string* error = nullptr);

// B, G, R, A pixels scaled to a new size with one of the filters.
std::vector<uint8_t> ResizePixels(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height,
                                  uint32_t newWidth, uint32_t newHeight, Filter filter);

}  // namespace d3dx
