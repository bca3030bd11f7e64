#pragma once
// Resources compiled into a module: (type, id) → bytes, one table per module
// (program or plug-in library), filled at build time by lv_add_resources from
// the files of a resource folder laid out as <TYPE>/<id>[-name].<ext>.
// Bitmaps are stored as DIBs (without the 14-byte file header), as bitmap
// resources are. A lookup finds the calling module's own table: no file is
// read at run time.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace sys {

struct ResourceEntry {
  const char* type;
  uint32_t id;
  const unsigned char* data;  // followed by a NUL that `size` does not count
  size_t size;
};

struct ResourceTable {
  const ResourceEntry* entries;
  size_t count;
};

inline constexpr std::string_view kResourceShader = "SHADER";
inline constexpr std::string_view kResourceBitmap = "BITMAP";
inline constexpr std::string_view kResourceDialog = "DIALOG";

// A found resource: the bytes stay valid as long as the module is loaded.
struct Resource {
  const unsigned char* data = nullptr;
  size_t size = 0;

  explicit operator bool() const { return data != nullptr; }
  std::span<const uint8_t> Bytes() const { return {data, size}; }
  std::string_view Text() const { return {reinterpret_cast<const char*>(data), size}; }
};

// The type compares without regard to case, as resource types do.
Resource FindResourceIn(const ResourceTable* module, std::string_view type, uint32_t id);

}  // namespace sys

// Defined in each module by lv_add_resources; hidden, so every module sees
// its own.
extern "C" {
extern const sys::ResourceTable lvModuleResources __attribute__((visibility("hidden")));
}

namespace sys {

// The calling module's table: what stands for its module handle in lookups.
[[gnu::visibility("hidden")]] inline const ResourceTable* ThisModuleResources() { return &lvModuleResources; }

[[gnu::visibility("hidden")]] inline Resource FindResource(std::string_view type, uint32_t id) {
  return FindResourceIn(ThisModuleResources(), type, id);
}

}  // namespace sys
