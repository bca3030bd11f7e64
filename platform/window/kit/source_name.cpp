#include "platform/window/kit/source_name.h"

#include <cstring>

namespace kit {

void SourceName::Set(const char* name) {
  // Copy first: `name` may be the stored text itself.
  char* copy = nullptr;
  if (name != nullptr) {
    const size_t length = std::strlen(name);
    copy = new char[length + 1];
    std::memcpy(copy, name, length + 1);
  }
  delete[] name_;
  name_ = copy;
}

}  // namespace kit
