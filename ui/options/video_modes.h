#pragma once
// The Video page's cascade of mode lists: the sizes an adapter offers, the
// depths of one size, the refresh rates of one size and depth. Each list has
// every distinct value once, in mode order.
#include <cstdint>
#include <string>
#include <vector>

#include "lv/list.h"

namespace ui {

struct ModeEntry {
  std::string text;
  uint32_t data;  // a size as width << 16 | height, a depth or a rate
};

inline uint32_t PackedSize(uint32_t width, uint32_t height) { return (width & 0xFFFF) << 16 | (height & 0xFFFF); }

// "%d x %d" for each size.
std::vector<ModeEntry> ResolutionEntries(const lv::List& modes);
// "%d bpp" for each depth of modes of that size.
std::vector<ModeEntry> DepthEntries(const lv::List& modes, uint32_t width, uint32_t height);
// "%d Hz" for each rate of modes of that size and depth.
std::vector<ModeEntry> RateEntries(const lv::List& modes, uint32_t width, uint32_t height, uint32_t bits);

// The entry holding `data`; 0 when none does; -1 for an empty list.
int EntryIndex(const std::vector<ModeEntry>& entries, uint32_t data);

}  // namespace ui
