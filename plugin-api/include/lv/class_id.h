#pragma once
// The 16-byte id of a plug-in or source kind, laid out like a GUID and
// compared as raw bytes. Project files and drag records store it.
#include <cstdint>
#include <cstring>

namespace lv {

struct ClassId {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];

  friend bool operator==(const ClassId& a, const ClassId& b) { return std::memcmp(&a, &b, sizeof a) == 0; }
};
static_assert(sizeof(ClassId) == 16);

// Kind value that marks a kind as not creatable; the host gives no meaning to
// any other value.
inline constexpr int32_t kKindNotCreatable = 4;

}  // namespace lv
