#pragma once
// A growable array of raw elements kept behind one pointer to a heap block:
// int32 count, int32 capacity, then capacity elements. A null block is empty.
// Elements are copied as bytes, so only trivially copyable types belong here.
#include <cstdint>

namespace lv {

namespace DynArray {

struct Header {
  int32_t count;
  int32_t capacity;
};

inline int32_t Count(const void* block) { return block ? static_cast<const Header*>(block)->count : 0; }
inline int32_t Capacity(const void* block) { return block ? static_cast<const Header*>(block)->capacity : 0; }
inline void* Elements(void* block) { return block ? static_cast<Header*>(block) + 1 : nullptr; }
inline const void* Elements(const void* block) { return block ? static_cast<const Header*>(block) + 1 : nullptr; }

// Re-allocates the block for `capacity` elements (zero-filled), keeping as
// many old elements as fit. Capacity 0 frees the block and nulls it. Answers
// false (block untouched) when the memory cannot be had.
bool Reserve(int32_t capacity, void*& block, int32_t elementSize);

// Inserts `n` elements from `source` at `index` (0 <= index <= count),
// growing to count + n + growStep when full. Returns the index, or -1 for an
// index out of range or a failed allocation (nothing changed then).
int32_t InsertAt(int32_t growStep, void*& block, int32_t index, int32_t n, const void* source, int32_t elementSize);

// Frees the block and nulls it.
inline void Free(void*& block) { Reserve(0, block, 1); }

}  // namespace DynArray

// Owns one block of 4-byte elements (the Video options page's lists).
class DynArrayHolder {
 public:
  DynArrayHolder() = default;
  virtual ~DynArrayHolder() { DynArray::Free(block); }
  DynArrayHolder(const DynArrayHolder&) = delete;
  DynArrayHolder& operator=(const DynArrayHolder&) = delete;

  int32_t Count() const { return DynArray::Count(block); }
  int32_t At(int32_t i) const { return static_cast<const int32_t*>(DynArray::Elements(block))[i]; }

  void* block = nullptr;
};

namespace DynArray {
// Appends `value` unless an equal element is already there.
void AppendUnique(DynArrayHolder& holder, const int32_t& value, int32_t growStep);
}  // namespace DynArray

}  // namespace lv
