#pragma once
// Class ids written as their 16 bytes in stored order (as project files hold
// them), so the table reads like the saved data.
#include <cstdint>

#include "lv/class_id.h"

namespace kestrix {

namespace detail {
constexpr uint8_t HexDigit(char c) {
  return c >= '0' && c <= '9' ? uint8_t(c - '0') : c >= 'a' && c <= 'f' ? uint8_t(c - 'a' + 10) : uint8_t(c - 'A' + 10);
}
constexpr uint8_t HexByte(const char* p) { return uint8_t(HexDigit(p[0]) << 4 | HexDigit(p[1])); }
}  // namespace detail

// 32 hex digits, two per byte, the first field's bytes little-endian first.
constexpr lv::ClassId ClassIdFromStoredBytes(const char (&hex)[33]) {
  uint8_t b[16] = {};
  for (int i = 0; i < 16; ++i) b[i] = detail::HexByte(hex + 2 * i);
  return lv::ClassId{uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24,
                     uint16_t(b[4] | b[5] << 8),
                     uint16_t(b[6] | b[7] << 8),
                     {b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]}};
}

}  // namespace kestrix
