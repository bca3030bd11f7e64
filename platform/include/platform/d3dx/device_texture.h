#pragma once
// Textures made on the device from image files or from image files held in
// memory, as D3DX's CreateTextureFromFile(InMemory)(Ex) make them: decode,
// choose size, format and levels for the device, scale, build the mip chain
// and upload every level. On failure *texture is left null.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/d3dx/image.h"
#include "platform/d3dx/texture_data.h"
#include "platform/gfx/device.h"

namespace d3dx {

// What the Ex functions take besides the file. Sizes 0, kDefault and
// kDefaultNonPow2 take the image's size (rounded up to powers of two where
// the device needs them); mip levels 0 or kDefault build the whole chain;
// format Unknown chooses A8R8G8B8 for images with alpha (or a colour key),
// else X8R8G8B8; filters kDefault are box filters; colorKey 0 keys nothing.
struct TextureFileOptions {
  uint32_t width = kDefault;
  uint32_t height = kDefault;
  uint32_t mipLevels = kDefault;
  uint32_t usage = gfx::usage::None;
  gfx::Format format = gfx::Format::Unknown;
  gfx::Pool pool = gfx::Pool::Managed;
  uint32_t filter = kDefault;
  uint32_t mipFilter = kDefault;
  uint32_t colorKey = 0;  // 0xAARRGGBB made transparent black
};

// InvalidCall for a missing, unreadable or corrupt file and for a bad
// argument; NotAvailable for a format the device cannot make from an image;
// otherwise what the device answers. `info` (optional) receives what the
// file holds; `error` (optional) a reason for the log.
gfx::Result CreateTextureFromFileEx(gfx::Device* device, const std::string& path, const TextureFileOptions& options,
                                    ImageInfo* info, gfx::Texture** texture, std::string* error = nullptr);
gfx::Result CreateTextureFromFileInMemoryEx(gfx::Device* device, const void* data, size_t size,
                                            const TextureFileOptions& options, ImageInfo* info,
                                            gfx::Texture** texture, std::string* error = nullptr);

// The same with every option at its default: the file's size, the full mip
// chain, the format from the file, the managed pool.
gfx::Result CreateTextureFromFile(gfx::Device* device, const std::string& path, gfx::Texture** texture);
gfx::Result CreateTextureFromFileInMemory(gfx::Device* device, const void* data, size_t size,
                                          gfx::Texture** texture);

// The step under them all: a decoded image, with the device's limits given
// by the caller.
gfx::Result CreateTextureFromImage(gfx::Device* device, const Image& image, const TextureFileOptions& options,
                                   const TextureDeviceCaps& caps, gfx::Texture** texture,
                                   std::string* error = nullptr);

// The limits of `device` for a texture of `mipLevels` levels: sizes must be
// powers of two where its caps say so (a single level escapes that where the
// caps allow other sizes conditionally). The device takes no block-compressed
// formats, so DXT files are decoded.
TextureDeviceCaps TextureCapsOf(gfx::Device& device, uint32_t mipLevels);

}  // namespace d3dx
