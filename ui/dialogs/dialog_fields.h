#pragma once
// What the small dialogs read from their fields and write into their lists.
#include <string>
#include <vector>

#include "performance/performance.h"

namespace ui {

// The dialogs read at most this many characters of a number field.
inline constexpr int kNumberFieldChars = 9;

// The field's first 9 characters as a decimal integer the way the C library
// reads one: blanks, an optional sign, digits up to the first other
// character; 0 when there are none.
int ReadNumberField(const std::string& text);
// Notes and bank numbers are typed 1..128: the number minus 1, else -1.
int OneBasedField(const std::string& text);
// -127..127, else `outside`.
int PriorityField(const std::string& text, int outside);

// One line per bank of the Patch List dialog, in list order.
std::vector<std::string> PatchListLines(const lv::Performance& performance);

}  // namespace ui
