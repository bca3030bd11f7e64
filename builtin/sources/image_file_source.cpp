#include "sources/image_file_source.h"

#include <iterator>
#include <new>

#include "lv/lorvane_interface.h"
#include <string>

#include "platform/d3dx/device_texture.h"
#include "platform/sys/log.h"

namespace builtin {
namespace {

constexpr const char* kExtensions[] = {"bmp", "dds", "jpg", "png", "ppm", "tga"};

}  // namespace

const lv::ClassId ImageFileSource::kClassId = {0xBB47D16C, 0x20AC, 0x4FA0,
                                                {0xA1, 0x46, 0xC8, 0x13, 0xE6, 0xA1, 0xEF, 0x25}};

bool ImageFileSource::Open(const char* name) {
  texture_ = {};
  gfx::Device* device = host != nullptr ? host->GetDevice() : nullptr;
  if (name == nullptr || device == nullptr) return false;
  d3dx::TextureFileOptions options;
  options.mipLevels = 0;  // the whole chain
  d3dx::ImageInfo info;
  std::string error;
  const gfx::Result result = d3dx::CreateTextureFromFileEx(device, name, options, &info, texture_.put(), &error);
  if (gfx::Failed(result) || !texture_) {
    sys::Log("Image File Source: cannot load \"%s\" (%s)", name, error.empty() ? "no texture" : error.c_str());
    texture_ = {};
    return false;
  }
  SetFrame(info.width, info.height, uint32_t(info.format));  // the file's own pixel format
  return true;
}

bool ImageFileSource::Advance(uint32_t, bool* wrapped, bool* newFrame) {
  if (wrapped != nullptr) *wrapped = false;
  if (newFrame != nullptr) *newFrame = false;
  return true;
}

lv::Source* ImageFileSourceDesc::Create() { return new (std::nothrow) ImageFileSource; }

int32_t ImageFileSourceDesc::NumExtensions() { return int32_t(std::size(kExtensions)); }

const char* ImageFileSourceDesc::Extension(int32_t i) {
  return i >= 0 && i < NumExtensions() ? kExtensions[i] : nullptr;
}

lv::SourceDesc* ImageFileSourceDescriptor() {
  static ImageFileSourceDesc desc;
  return &desc;
}

}  // namespace builtin
