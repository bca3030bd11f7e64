#include "platform/d3dx/device_texture.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/d3dx/device_format.h"

namespace d3dx {
namespace {

gfx::Result Fail(gfx::Result result, std::string* error, const std::string& message) {
  if (error) *error = message;
  return result;
}

// Copies each prepared level into the texture's level, row by row (the
// device's pitch may differ from ours).
gfx::Result Upload(gfx::Texture* texture, const TextureData& data) {
  const uint32_t levels = std::min<uint32_t>(texture->GetLevelCount(), uint32_t(data.levels.size()));
  for (uint32_t i = 0; i < levels; ++i) {
    const TextureLevel& level = data.levels[i];
    gfx::SurfaceDesc desc;
    gfx::Result r = texture->GetLevelDesc(i, &desc);
    if (gfx::Failed(r)) return r;
    if (desc.width != level.width || desc.height != level.height) return gfx::Result::InvalidCall;
    gfx::LockedRect locked;
    r = texture->LockRect(i, &locked, nullptr, gfx::lock::Discard);
    if (gfx::Failed(r)) return r;
    const size_t rowBytes = std::min<size_t>(level.pitch, size_t(locked.pitch));
    for (uint32_t y = 0; y < level.height; ++y) {
      std::memcpy(static_cast<uint8_t*>(locked.bits) + size_t(y) * locked.pitch, &level.data[size_t(y) * level.pitch],
                  rowBytes);
    }
    r = texture->UnlockRect(i);
    if (gfx::Failed(r)) return r;
  }
  return gfx::Result::Ok;
}

gfx::Result FromImageResult(gfx::Device* device, bool loaded, const Image& image, const TextureFileOptions& options,
                            ImageInfo* info, gfx::Texture** texture, std::string* error) {
  if (!loaded) return gfx::Result::InvalidCall;
  const gfx::Result r =
      CreateTextureFromImage(device, image, options, TextureCapsOf(*device, options.mipLevels), texture, error);
  if (gfx::Succeeded(r) && info) *info = image.info;
  return r;
}

}  // namespace

TextureDeviceCaps TextureCapsOf(gfx::Device& device, uint32_t mipLevels) {
  gfx::DeviceCaps caps;
  TextureDeviceCaps out;
  out.compressedFormats = false;
  if (gfx::Failed(device.GetDeviceCaps(&caps))) return out;
  const bool pow2 = (caps.textureCaps & gfx::texturecaps::Pow2) != 0;
  const bool conditional = (caps.textureCaps & gfx::texturecaps::NonPow2Conditional) != 0;
  out.powerOfTwoOnly = pow2 && !(conditional && mipLevels == 1);
  if (caps.maxTextureWidth) out.maxWidth = caps.maxTextureWidth;
  if (caps.maxTextureHeight) out.maxHeight = caps.maxTextureHeight;
  return out;
}

gfx::Result CreateTextureFromImage(gfx::Device* device, const Image& image, const TextureFileOptions& options,
                                   const TextureDeviceCaps& caps, gfx::Texture** texture, std::string* error) {
  if (texture) *texture = nullptr;
  if (!device || !texture) return Fail(gfx::Result::InvalidCall, error, "no device or no texture out");

  TextureRequest request;
  request.width = options.width;
  request.height = options.height;
  request.mipLevels = options.mipLevels;
  request.filter = options.filter;
  request.mipFilter = options.mipFilter;
  request.colorKey = options.colorKey;
  if (options.format != gfx::Format::Unknown) {
    request.format = FromDeviceFormat(options.format);
    if (request.format == Format::Unknown) {
      return Fail(gfx::Result::NotAvailable, error,
                  std::string("no texture of format ") + gfx::FormatName(options.format) + " is made from an image");
    }
  }
  TextureDeviceCaps deviceCaps = caps;
  deviceCaps.compressedFormats = false;  // no block-compressed device formats: DXT is decoded

  TextureData data;
  std::string reason;
  if (!PrepareTexture(image, request, deviceCaps, data, &reason)) {
    return Fail(gfx::Result::InvalidCall, error, reason);
  }
  const gfx::Format format = ToDeviceFormat(data.format);
  if (format == gfx::Format::Unknown) return Fail(gfx::Result::NotAvailable, error, "no device format for the image");

  gfx::Texture* made = nullptr;
  gfx::Result r = device->CreateTexture(data.width, data.height, uint32_t(data.levels.size()), options.usage, format,
                                        options.pool, &made);
  if (gfx::Failed(r)) return Fail(r, error, std::string("the device made no texture: ") + gfx::ResultName(r));
  r = Upload(made, data);
  if (gfx::Failed(r)) {
    made->Release();
    return Fail(r, error, std::string("the texture could not be filled: ") + gfx::ResultName(r));
  }
  *texture = made;
  return gfx::Result::Ok;
}

gfx::Result CreateTextureFromFileEx(gfx::Device* device, const std::string& path, const TextureFileOptions& options,
                                    ImageInfo* info, gfx::Texture** texture, std::string* error) {
  if (texture) *texture = nullptr;
  if (!device || !texture) return Fail(gfx::Result::InvalidCall, error, "no device or no texture out");
  Image image;
  const bool loaded = LoadImageFromFile(path, image, error);
  return FromImageResult(device, loaded, image, options, info, texture, error);
}

gfx::Result CreateTextureFromFileInMemoryEx(gfx::Device* device, const void* data, size_t size,
                                            const TextureFileOptions& options, ImageInfo* info,
                                            gfx::Texture** texture, std::string* error) {
  if (texture) *texture = nullptr;
  if (!device || !texture || (!data && size != 0)) {
    return Fail(gfx::Result::InvalidCall, error, "no device, data or texture out");
  }
  Image image;
  const bool loaded = LoadImageFromMemory(std::span(static_cast<const uint8_t*>(data), size), image, error);
  return FromImageResult(device, loaded, image, options, info, texture, error);
}

gfx::Result CreateTextureFromFile(gfx::Device* device, const std::string& path, gfx::Texture** texture) {
  return CreateTextureFromFileEx(device, path, {}, nullptr, texture);
}

gfx::Result CreateTextureFromFileInMemory(gfx::Device* device, const void* data, size_t size,
                                          gfx::Texture** texture) {
  return CreateTextureFromFileInMemoryEx(device, data, size, {}, nullptr, texture);
}

}  // namespace d3dx
