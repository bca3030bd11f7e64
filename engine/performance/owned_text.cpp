#include "performance/owned_text.h"

#include <cstring>

namespace lv {

void OwnedText::Set(const char* text) {
  if (text == nullptr) {
    text_.reset();
    return;
  }
  const size_t size = std::strlen(text) + 1;
  auto copy = std::make_unique<char[]>(size);
  std::memcpy(copy.get(), text, size);
  text_ = std::move(copy);
}

}  // namespace lv
