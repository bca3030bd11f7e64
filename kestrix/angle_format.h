#pragma once
// The "Angle" knobs count quarter degrees (0 .. 1439); they show degrees
// with one decimal.
#include <cstdint>

#include "lv/plug.h"

namespace kestrix {

void FormatQuarterDegrees(int32_t value, char* text, lv::Plug* instance, int32_t index);

}  // namespace kestrix
