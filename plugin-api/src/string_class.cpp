#include "lv/string_class.h"

#include <cstring>

namespace lv {

namespace {

char* CopyOf(const char* text, size_t length) {
  char* copy = new char[length + 1];
  std::memcpy(copy, text, length + 1);
  return copy;
}

}  // namespace

uint32_t StringClass::HashOf(const char* text, int32_t length) {
  uint32_t h = 0;
  for (int32_t i = 0; i < length; ++i) {
    h = ((h >> 15) & 0x1FF00u) ^ (h << 8);
    // The character is sign-extended: a byte from 0x80 up sets bits 8-31.
    h |= uint32_t(int32_t(static_cast<signed char>(text[i])));
  }
  return h;
}

void StringClass::Set(const char* text) {
  typeMarker_ = kTypeMarker;
  if (text == nullptr) {
    text_ = nullptr;
    length_ = 0;
  } else {
    length_ = int32_t(std::strlen(text));
    text_ = CopyOf(text, size_t(length_));
  }
  Rehash();
}

void StringClass::Assign(const char* text) {
  // Copy before freeing, so assigning the string's own text is safe.
  char* copy = text != nullptr ? CopyOf(text, std::strlen(text)) : nullptr;
  Free();
  text_ = copy;
  length_ = copy != nullptr ? int32_t(std::strlen(copy)) : 0;
  Rehash();
}

void StringClass::Append(const char* text) {
  if (text == nullptr) return;
  size_t added = std::strlen(text);
  char* joined = new char[size_t(length_) + added + 1];
  if (text_ != nullptr) std::memcpy(joined, text_, size_t(length_));
  std::memcpy(joined + length_, text, added + 1);
  delete[] text_;
  text_ = joined;
  length_ += int32_t(added);
  Rehash();
}

void StringClass::Free() {
  delete[] text_;
  text_ = nullptr;
  length_ = 0;
  hash_ = 0;
}

}  // namespace lv
