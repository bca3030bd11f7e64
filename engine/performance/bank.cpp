#include "performance/bank.h"

namespace lv {

void Bank::ClearNote(uint8_t note) {
  if (note < kNoteCount) slots[note].Clear();
}

int Bank::PatchCount() const {
  int count = 0;
  for (const NoteSlot& slot : slots)
    if (slot.patch) ++count;
  return count;
}

}  // namespace lv
