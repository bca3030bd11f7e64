#pragma once
// One row of a plug-in's parameter table, owned by the plug-in and valid as
// long as the instance.
#include <cstdint>

#include "lv/platform_types.h"

namespace lv {

// Writes `value` as text for display; the knob passes the instance and the
// parameter index, which a formatter may ignore.
using ParamFormat = void (*)(int32_t value, char* text, Plug* instance, int32_t index);

struct ParamInfo {
  int32_t min;
  int32_t max;
  int32_t defaultValue;
  int32_t wraps;        // non-zero: the knob wraps round at the ends
  uint32_t tag;         // four-character code (ChunkTag) of saved modulation records
  const char* name;     // shown on the knob and in lists
  ParamFormat format;   // null shows the number
};

}  // namespace lv
