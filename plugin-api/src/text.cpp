#include "lv/text.h"

#include <cctype>
#include <cstring>

namespace lv {

const char* FileNamePart(const char* path) {
  if (path == nullptr) return nullptr;
  const char* part = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '\\' || *p == '/') part = p + 1;
  }
  return part;
}

int FilterChar(int mode, char* buffer, int index, const char* rejected) {
  auto c = static_cast<unsigned char>(buffer[index]);
  int changed = 0;
  if (mode == 1 || mode == -1) {
    auto filtered = static_cast<unsigned char>(mode == 1 ? std::toupper(c) : std::tolower(c));
    if (filtered != c) {
      buffer[index] = static_cast<char>(filtered);
      changed = 1;
    }
  }
  if (rejected != nullptr && buffer[index] != '\0' && std::strchr(rejected, buffer[index]) != nullptr) {
    std::memmove(buffer + index, buffer + index + 1, std::strlen(buffer + index));
    return 2;
  }
  return changed;
}

}  // namespace lv
