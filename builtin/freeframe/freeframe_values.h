#pragma once
// Conversions between the host's parameter values (0..1024) and FreeFrame's
// floats (0..1), and the texts FreeFrame hands back in 16-character fields.
#include <cstdint>
#include <string>

namespace ff {

inline constexpr int32_t kHostParamMax = 1024;

// value × 1024, truncated toward zero.
int32_t HostValue(float value);
// value / 1024.
float PluginValue(int32_t hostValue);

// The 16-character field at `text` up to its first NUL; `fallback` when
// `text` is null.
std::string FieldText(const char* text, const char* fallback);

// What a knob shows: `display` (the plug-in's getParameterDisplay field, or
// null when that call failed, in which case the value is printed "%1.3f")
// cut to 16 characters with trailing blanks removed, keeping at least the
// first character. `out` receives at most 17 bytes.
void FormatDisplay(const char* display, int32_t hostValue, char* out);

}  // namespace ff
