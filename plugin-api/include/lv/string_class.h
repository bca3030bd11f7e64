#pragma once
// A growable owned text that keeps its length and a 32-bit hash.
#include <cstdint>

namespace lv {

class StringClass {
 public:
  static constexpr const char* kTypeMarker = "<StringClass>";

  explicit StringClass(const char* text = nullptr) { Set(text); }
  StringClass(const StringClass& other) { Set(other.text_); }
  StringClass& operator=(const StringClass& other) {
    Assign(other.text_);
    return *this;
  }
  ~StringClass() { Free(); }

  // Sets the text of a string that holds none (construction).
  void Set(const char* text);
  // Replaces the text; null gives the empty string.
  void Assign(const char* text);
  // Adds `text` at the end; null changes nothing.
  void Append(const char* text);
  // Frees the text: the string is empty afterwards.
  void Free();

  // The text, or null when empty.
  const char* Text() const { return text_; }
  // The text, or "" when empty.
  const char* CStr() const { return text_ != nullptr ? text_ : ""; }
  int32_t Length() const { return length_; }
  uint32_t Hash() const { return hash_; }
  const char* TypeMarker() const { return typeMarker_; }

  // The hash rule of the string: 0 for no characters.
  static uint32_t HashOf(const char* text, int32_t length);

 private:
  void Rehash() { hash_ = HashOf(text_, length_); }

  const char* typeMarker_ = kTypeMarker;
  char* text_ = nullptr;
  uint32_t hash_ = 0;
  int32_t length_ = 0;
};

}  // namespace lv
