#include "performance/performance.h"

namespace lv {
namespace {

Bank* AsBank(ListNode* node) { return static_cast<Bank*>(node); }

}  // namespace

Performance::Performance(const PerformanceSettings& settings)
    : channelMask(settings.channelMask),
      displayAdapter(settings.displayAdapter),
      width(settings.width),
      height(settings.height),
      bitsPerPixel(settings.bitsPerPixel),
      refreshRate(settings.refreshRate),
      workBuffers(settings.workBuffers),
      npw2(settings.npw2),
      hold(settings.hold),
      hide(settings.hide),
      cust(settings.cust),
      midiDevice_(settings.midiDevice) {}

void Performance::SelectBank(int32_t number) {
  currentBankNumber = number;
  currentBank = number < 0 ? nullptr : FindBank(static_cast<uint8_t>(number & 0xFF));
}

Bank* Performance::FindBank(uint8_t programNumber) const {
  for (ListNode* node = banks.Head(); node != nullptr; node = node->Next())
    if (AsBank(node)->programNumber == programNumber) return AsBank(node);
  return nullptr;
}

Bank* Performance::BankAt(int32_t index) const {
  if (index < 0) return nullptr;
  ListNode* node = banks.Head();
  for (int32_t i = 0; node != nullptr && i < index; ++i) node = node->Next();
  return AsBank(node);
}

int32_t Performance::IndexOfBank(const Bank* bank) const {
  int32_t index = 0;
  for (ListNode* node = banks.Head(); node != nullptr; node = node->Next(), ++index)
    if (node == bank) return index;
  return -1;
}

Plug* Performance::NotePatch(uint8_t note) const {
  NoteSlot* slot = NoteSlotAt(note);
  return slot != nullptr ? slot->patch.get() : nullptr;
}

NoteSlot* Performance::NoteSlotAt(uint8_t note) const {
  if (currentBank == nullptr || note >= Bank::kNoteCount) return nullptr;
  return &currentBank->slots[note];
}

Bank* Performance::CreateBank(uint8_t programNumber) {
  modified = 1;
  ListNode* lastLower = nullptr;
  for (ListNode* node = banks.Head(); node != nullptr; node = node->Next()) {
    if (AsBank(node)->programNumber == programNumber) return AsBank(node);
    if (AsBank(node)->programNumber < programNumber) lastLower = node;
  }
  auto* bank = new Bank(programNumber);
  banks.InsertAfter(bank, lastLower);
  return bank;
}

void Performance::DeleteBank(uint8_t programNumber) {
  modified = 1;
  Bank* bank = FindBank(programNumber);
  if (bank == nullptr) return;
  banks.Unlink(bank);
  delete bank;
}

void Performance::ClearNote(uint8_t note) {
  NoteSlot* slot = NoteSlotAt(note);
  if (slot == nullptr || !slot->patch) return;
  modified = 1;
  slot->Clear();
}

}  // namespace lv
