#pragma once
// The patch list's pop-up menus for a slot's priority ("Pri" column) and
// render target ("Buffer" column), as data: built, shown, then applied.
#include <string>
#include <vector>

#include "performance/note_slot.h"

namespace ui {

struct PopupItem {
  int id = 0;  // 0: a separator
  std::string text;
  bool enabled = true;
  bool checked = false;
};

struct PopupMenu {
  std::vector<PopupItem> items;
  bool Empty() const { return items.empty(); }
};

inline constexpr int kPriorityColumn = 1;
inline constexpr int kBufferColumn = 2;

// The menu for a click on `column`; empty for the other columns.
PopupMenu BuildSlotMenu(int column, const lv::NoteSlot& slot, const std::vector<std::string>& workBuffers);

// Applies the chosen id (0: no choice); true when the slot changed.
bool ApplySlotMenuChoice(int column, int chosenId, lv::NoteSlot& slot, int workBufferCount);

}  // namespace ui
