#pragma once
// The part of the File menu that lists the recent projects; the main dialog
// implements it over its menu bar.
#include <cstdint>
#include <string>

namespace lv {

class RecentFilesMenu {
 public:
  virtual ~RecentFilesMenu() = default;
  // Deletes every item whose command id lies in firstId..lastId.
  virtual void DeleteItems(int32_t firstId, int32_t lastId) = 0;
  // Inserts a text item (an '&' marks the mnemonic) before `position`.
  virtual void InsertItem(int32_t position, int32_t commandId, const std::string& text) = 0;
  virtual void InsertSeparator(int32_t position, int32_t commandId) = 0;
};

}  // namespace lv
