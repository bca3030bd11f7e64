#pragma once
// An owned NUL-terminated text that may be absent (null), as the bank name
// and the MIDI device name are.
#include <memory>

namespace lv {

class OwnedText {
 public:
  OwnedText() = default;
  explicit OwnedText(const char* text) { Set(text); }
  OwnedText(const OwnedText& other) { Set(other.Get()); }
  OwnedText& operator=(const OwnedText& other) {
    if (this != &other) Set(other.Get());
    return *this;
  }

  // Keeps a copy of `text`; null leaves none.
  void Set(const char* text);
  // The text, or null.
  const char* Get() const { return text_.get(); }

 private:
  std::unique_ptr<char[]> text_;
};

}  // namespace lv
