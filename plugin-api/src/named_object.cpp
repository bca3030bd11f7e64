#include "lv/named_object.h"

#include <cstring>
#include <new>

namespace lv {

namespace {

uint8_t FoldCase(uint8_t c) { return (c >= 'A' && c <= 'Z') ? uint8_t(c + 0x20) : c; }

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    uint8_t x = FoldCase(uint8_t(*a));
    if (x != FoldCase(uint8_t(*b))) return false;
    if (x == 0) return true;
  }
}

}  // namespace

uint16_t NameHash(const char* text) {
  if (text == nullptr) return 0;
  size_t n = std::strlen(text) % 65536;
  uint32_t h = 0;
  for (size_t i = 0; i < n; ++i) {
    uint8_t c = FoldCase(uint8_t(text[i]));
    // Each step depends only on the byte and the low byte of the previous value.
    h = (uint32_t(c) ^ (h & 0xFF)) << 8;
    for (int bit = 0; bit < 8; ++bit) {
      h = (h & 0x8000) ? ((h << 1) ^ 0x1021) : (h << 1);
      h &= 0xFFFF;
    }
  }
  return uint16_t(h);
}

NamedObject::~NamedObject() { delete[] name_; }

bool NamedObject::SetName(const char* text) {
  delete[] name_;
  name_ = nullptr;
  if (text == nullptr) return false;
  size_t length = std::strlen(text);
  char* copy = new (std::nothrow) char[length + 1];
  if (copy == nullptr) return false;
  std::memcpy(copy, text, length + 1);
  name_ = copy;
  hash_ = NameHash(text);
  return true;
}

NamedObject* FindByName(ListNode* first, const char* text) {
  if (text == nullptr) return nullptr;
  uint16_t hash = NameHash(text);
  for (ListNode* node = first; node != nullptr; node = node->Next()) {
    auto* named = static_cast<NamedObject*>(node);
    if (named->Name() != nullptr && named->Hash() == hash && EqualIgnoringAsciiCase(named->Name(), text)) {
      return named;
    }
  }
  return nullptr;
}

}  // namespace lv
