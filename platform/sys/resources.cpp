#include "platform/sys/resources.h"

#include <cctype>

namespace sys {
namespace {

bool SameType(std::string_view a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0' || std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return b[i] == '\0';
}

}  // namespace

Resource FindResourceIn(const ResourceTable* module, std::string_view type, uint32_t id) {
  if (module == nullptr) return {};
  for (size_t i = 0; i < module->count; ++i) {
    const ResourceEntry& e = module->entries[i];
    if (e.id == id && SameType(type, e.type)) return {e.data, e.size};
  }
  return {};
}

}  // namespace sys
