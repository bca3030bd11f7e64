#include "lv/dyn_array.h"

#include <cstdlib>
#include <cstring>

namespace lv::DynArray {

bool Reserve(int32_t capacity, void*& block, int32_t elementSize) {
  if (capacity <= 0) {
    std::free(block);
    block = nullptr;
    return true;
  }
  void* grown = std::calloc(1, sizeof(Header) + size_t(capacity) * size_t(elementSize));
  if (grown == nullptr) return false;
  auto* header = static_cast<Header*>(grown);
  if (block != nullptr) {
    const auto* old = static_cast<const Header*>(block);
    int32_t kept = old->capacity < capacity ? old->capacity : capacity;
    std::memcpy(header + 1, old + 1, size_t(kept) * size_t(elementSize));
    // A shrunk block keeps no more elements than it can hold.
    header->count = old->count < capacity ? old->count : capacity;
    std::free(block);
  }
  header->capacity = capacity;
  block = grown;
  return true;
}

int32_t InsertAt(int32_t growStep, void*& block, int32_t index, int32_t n, const void* source, int32_t elementSize) {
  if (n <= 0) return index;
  int32_t count = Count(block);
  if (index < 0 || index > count) return -1;
  if (block == nullptr || count + n > Capacity(block)) {
    if (!Reserve(count + n + growStep, block, elementSize)) return -1;
  }
  auto* elements = static_cast<uint8_t*>(Elements(block));
  size_t size = size_t(elementSize);
  std::memmove(elements + size_t(index + n) * size, elements + size_t(index) * size, size_t(count - index) * size);
  std::memcpy(elements + size_t(index) * size, source, size_t(n) * size);
  static_cast<Header*>(block)->count = count + n;
  return index;
}

void AppendUnique(DynArrayHolder& holder, const int32_t& value, int32_t growStep) {
  int32_t count = holder.Count();
  for (int32_t i = 0; i < count; ++i) {
    if (holder.At(i) == value) return;
  }
  InsertAt(growStep, holder.block, count, 1, &value, int32_t(sizeof value));
}

}  // namespace lv::DynArray
