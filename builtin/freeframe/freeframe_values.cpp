#include "freeframe/freeframe_values.h"

#include <cstdio>
#include <cstring>

#include "freeframe/freeframe_abi.h"

namespace ff {

int32_t HostValue(float value) { return int32_t(value * float(kHostParamMax)); }

float PluginValue(int32_t hostValue) { return float(hostValue) * 0.0009765625f; }

std::string FieldText(const char* text, const char* fallback) {
  if (text == nullptr) return fallback;
  return std::string(text, strnlen(text, kNameLength));
}

void FormatDisplay(const char* display, int32_t hostValue, char* out) {
  char text[32];
  if (display == nullptr) {
    std::snprintf(text, sizeof text, "%1.3f", double(PluginValue(hostValue)));
  } else {
    // The plug-in's field need not be terminated: never read past it.
    const size_t length = strnlen(display, kNameLength);
    std::memcpy(text, display, length);
    text[length] = '\0';
  }
  text[kNameLength] = '\0';
  for (size_t i = std::strlen(text); i > 1 && text[i - 1] == ' '; --i) text[i - 1] = '\0';
  std::memcpy(out, text, std::strlen(text) + 1);
}

}  // namespace ff
