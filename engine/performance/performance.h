#pragma once
// The document the user edits and saves: the show's display and MIDI
// settings and its banks of patches. Edited on the user-interface thread; the
// render thread reads the banks it plays and `hold`.
#include <cstdint>

#include "lv/list.h"
#include "lv/string_class.h"
#include "performance/bank.h"
#include "performance/owned_text.h"
#include "performance/performance_settings.h"

namespace lv {

class Performance {
 public:
  Performance() : Performance(PerformanceSettings{}) {}
  explicit Performance(const PerformanceSettings& settings);
  Performance(const Performance&) = delete;
  Performance& operator=(const Performance&) = delete;

  const char* MidiDevice() const { return midiDevice_.Get(); }
  void SetMidiDevice(const char* name) { midiDevice_.Set(name); }

  // Makes `number` current; the current bank is the first whose program
  // number is the number's low byte, none for a negative number.
  void SelectBank(int32_t number);
  Bank* FindBank(uint8_t programNumber) const;
  Bank* BankAt(int32_t index) const;
  int32_t IndexOfBank(const Bank* bank) const;
  // The current bank's patch or slot of the note; null without a current bank.
  Plug* NotePatch(uint8_t note) const;
  NoteSlot* NoteSlotAt(uint8_t note) const;

  // The bank with that number, made and put in program order when absent.
  Bank* CreateBank(uint8_t programNumber);
  // Deletes the bank with that number. The caller first moves the current
  // bank and every channel's bank away from it.
  void DeleteBank(uint8_t programNumber);
  // Deletes the current bank's patch of the note and empties its slot.
  void ClearNote(uint8_t note);

  StringClass name;              // the project file's path; empty when untitled
  List banks;                    // Bank nodes in ascending program number; owned
  int32_t currentBankNumber = -1;
  Bank* currentBank = nullptr;   // not owned
  uint32_t channelMask;
  int32_t displayAdapter;
  int32_t width;
  int32_t height;
  int32_t bitsPerPixel;
  int32_t refreshRate;
  int32_t workBuffers;
  uint8_t npw2;
  uint8_t hold;
  uint8_t hide;
  uint8_t cust;
  uint8_t modified = 0;          // set by every edit, cleared when saved

 private:
  OwnedText midiDevice_;
};

}  // namespace lv
