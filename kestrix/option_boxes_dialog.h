#pragma once
// The settings dialog of the generators whose only settings are check boxes,
// each standing for one bit of the option word.
#include <cstdint>
#include <span>

#include "lv/platform_types.h"

namespace kestrix {

struct OptionBox {
  int box;       // check box control id
  uint32_t bit;  // its bit in the option word
};

// Shows the boxes from `options`; OK writes them back. True only on OK (a
// dialog that cannot be shown changes nothing and is no OK).
bool RunOptionBoxesDialog(lv::WindowHandle owner, int dialogId, std::span<const OptionBox> boxes, uint32_t& options);

}  // namespace kestrix
