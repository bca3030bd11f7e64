#pragma once
// A list node with a name and a case-folded 16-bit hash of it, for lookup by
// name (work buffers, capture devices and their inputs, samplers, ...).
#include <cstdint>

#include "lv/list.h"

namespace lv {

// 16-bit hash of `text` with A-Z folded to a-z; 0 for empty or null text.
uint16_t NameHash(const char* text);

class NamedObject : public ListNode {
 public:
  NamedObject() = default;
  ~NamedObject() override;

  // Replaces the name with a copy of `text`. Null text leaves the object
  // nameless and answers false; so does a copy that cannot be allocated.
  bool SetName(const char* text);

  const char* Name() const { return name_; }
  uint16_t Hash() const { return hash_; }

 private:
  char* name_ = nullptr;
  uint16_t hash_ = 0;
};

// First named node from `first` on (along the next links) whose name equals
// `text`, ignoring the case of A-Z only; null when none. Every node reached
// must be a NamedObject.
NamedObject* FindByName(ListNode* first, const char* text);

}  // namespace lv
