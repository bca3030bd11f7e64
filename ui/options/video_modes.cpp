#include "options/video_modes.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "display/display_modes.h"

namespace ui {

namespace {

template <typename Select>
std::vector<ModeEntry> Distinct(const lv::List& modes, const char* format, Select select) {
  std::vector<ModeEntry> entries;
  for (const lv::ListNode* node = modes.Head(); node != nullptr; node = node->Next()) {
    const auto& mode = *static_cast<const lv::DisplayModeNode*>(node);
    std::optional<ModeEntry> entry = select(mode, format);
    if (!entry) continue;
    const bool known = std::any_of(entries.begin(), entries.end(),
                                   [&](const ModeEntry& seen) { return seen.data == entry->data; });
    if (!known) entries.push_back(*entry);
  }
  return entries;
}

std::string Text(const char* format, uint32_t a, uint32_t b = 0) {
  char text[48];
  std::snprintf(text, sizeof text, format, static_cast<int>(a), static_cast<int>(b));
  return text;
}

}  // namespace

std::vector<ModeEntry> ResolutionEntries(const lv::List& modes) {
  return Distinct(modes, "%d x %d", [](const lv::DisplayModeNode& mode, const char* format) {
    return std::optional<ModeEntry>(
        ModeEntry{Text(format, mode.width, mode.height), PackedSize(mode.width, mode.height)});
  });
}

std::vector<ModeEntry> DepthEntries(const lv::List& modes, uint32_t width, uint32_t height) {
  return Distinct(modes, "%d bpp", [&](const lv::DisplayModeNode& mode, const char* format) {
    if (mode.width != width || mode.height != height) return std::optional<ModeEntry>();
    return std::optional<ModeEntry>(ModeEntry{Text(format, mode.bitsPerPixel), mode.bitsPerPixel});
  });
}

std::vector<ModeEntry> RateEntries(const lv::List& modes, uint32_t width, uint32_t height, uint32_t bits) {
  return Distinct(modes, "%d Hz", [&](const lv::DisplayModeNode& mode, const char* format) {
    if (mode.width != width || mode.height != height || mode.bitsPerPixel != bits) return std::optional<ModeEntry>();
    return std::optional<ModeEntry>(ModeEntry{Text(format, mode.refreshRate), mode.refreshRate});
  });
}

int EntryIndex(const std::vector<ModeEntry>& entries, uint32_t data) {
  if (entries.empty()) return -1;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].data == data) return static_cast<int>(i);
  return 0;
}

}  // namespace ui
