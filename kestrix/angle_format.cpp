#include "angle_format.h"

#include <cstdio>

namespace kestrix {

void FormatQuarterDegrees(int32_t value, char* text, lv::Plug*, int32_t) {
  // At most "-359.8" and its NUL for any knob value; a wilder one is cut.
  std::snprintf(text, 8, "%3.1f", double(value) / 4.0);
}

}  // namespace kestrix
