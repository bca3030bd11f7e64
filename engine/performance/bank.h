#pragma once
// A bank of patches, one slot per MIDI note, selected by a program change.
#include <cstdint>

#include "lv/list.h"
#include "performance/note_slot.h"
#include "performance/owned_text.h"

namespace lv {

class Bank : public ListNode {
 public:
  static constexpr int kNoteCount = 128;

  explicit Bank(uint8_t programNumber = 0) : programNumber(programNumber) {}

  const char* Name() const { return name_.Get(); }
  void SetName(const char* text) { name_.Set(text); }

  // Deletes the note's patch and empties its slot.
  void ClearNote(uint8_t note);
  // Number of slots that hold a patch.
  int PatchCount() const;

  NoteSlot slots[kNoteCount];
  uint8_t programNumber;

 private:
  OwnedText name_;
};

}  // namespace lv
