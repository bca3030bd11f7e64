#include "patch_list/patch_list_menu.h"

namespace ui {
namespace {

constexpr int kIdBase = 100;       // item id = 100 + value
constexpr int kScreenId = kIdBase - 1;

}  // namespace

PopupMenu BuildSlotMenu(int column, const lv::NoteSlot& slot, const std::vector<std::string>& workBuffers) {
  PopupMenu menu;
  if (column == kPriorityColumn) {
    menu.items.push_back({-1, "Set Priority to:", false, false});
    menu.items.push_back({0, "", true, false});
    for (int value = -3; value <= 3; ++value) {
      menu.items.push_back({kIdBase + value, std::to_string(value), true, slot.priority == value});
    }
  } else if (column == kBufferColumn) {
    menu.items.push_back({-1, "Set target to:", false, false});
    menu.items.push_back({0, "", true, false});
    menu.items.push_back({kScreenId, "Screen", true, slot.target == -1});
    for (int i = 0; i < static_cast<int>(workBuffers.size()); ++i) {
      menu.items.push_back({kIdBase + i, workBuffers[static_cast<size_t>(i)], true, slot.target == i});
    }
  }
  return menu;
}

bool ApplySlotMenuChoice(int column, int chosenId, lv::NoteSlot& slot, int workBufferCount) {
  if (chosenId <= 0) return false;
  const int value = chosenId - kIdBase;
  if (column == kPriorityColumn && value >= -3 && value <= 3) {
    slot.priority = static_cast<int8_t>(value);
    return true;
  }
  if (column == kBufferColumn && value >= -1 && value < workBufferCount) {
    slot.target = value;
    return true;
  }
  return false;
}

}  // namespace ui
