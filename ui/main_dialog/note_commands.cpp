// The "Notes" buttons and the assignment of plug-ins to notes.
#include "dialogs/program_ids.h"
#include "main_dialog/main_dialog.h"

namespace ui {

uint16_t MainDialog::ChannelsPlaying(const lv::Bank* bank) const {
  uint16_t mask = 0;
  for (uint8_t channel = 0; channel < lv::Performer::kChannels; ++channel) {
    if (bank != nullptr && performer().ChannelBank(channel) == bank) mask = static_cast<uint16_t>(mask | 1u << channel);
  }
  return mask;
}

// Device objects exist exactly while some channel plays the patch's bank:
// the channel mask is the set of those channels, as a bank switch keeps it.
void MainDialog::CreateDeviceObjects(lv::Plug& patch, const lv::Bank& bank) const {
  const uint16_t channels = ChannelsPlaying(&bank);
  if (channels != 0 && patch.CreateDeviceObjects()) patch.channelMask = channels;
}

int MainDialog::AssignPatchToNote(lv::Plug* instance, bool configure, window::WindowHandle owner, int note) {
  std::unique_ptr<lv::Plug> owned(instance);
  lv::Performance* performance = Current();
  lv::Bank* bank = performance != nullptr ? performance->currentBank : nullptr;
  bool assigned = false;
  if (bank != nullptr && owned) {
    lv::NoteSlot& slot = bank->slots[note];
    slot.bindings.Attach(nullptr);
    slot.patch = std::move(owned);
    slot.priority = 0;
    slot.target = lv::NoteSlot::kScreen;
    assigned = !configure || slot.patch->Configure(owner);
    if (assigned) {
      slot.bindings.Attach(slot.patch.get());
      performance->modified = 1;
      CreateDeviceObjects(*slot.patch, *bank);
      list_->RefreshNote(note);
      return 1;
    }
    slot.bindings.Attach(nullptr);
  }
  Box("Error assigning note", "Error", window::MessageBoxButtons::kOk, window::MessageBoxIcon::kNone, 0,
      owner != nullptr ? owner : Handle());
  if (bank != nullptr && bank->slots[note].patch) {
    performance->modified = 1;
    bank->slots[note].Clear();
  }
  // The row and the knob shelf must not keep showing the destroyed instance.
  list_->RefreshNote(note);
  return 0;
}

int MainDialog::ChoosePlugInForNote(int note, window::WindowHandle owner) {
  const int index = dialogs_->ChoosePlugin(owner);
  if (index < 0 || services_.kinds == nullptr) return 0;
  lv::PlugDesc* kind = services_.kinds->At(index);
  lv::Plug* instance = nullptr;
  if (kind != nullptr && kind->GetKind() != lv::kKindNotCreatable) instance = services_.kinds->Create(kind);
  return AssignPatchToNote(instance, true, owner, note);
}

int MainDialog::EditNotePatch(int note, window::WindowHandle owner) {
  lv::Performance* performance = Current();
  lv::Bank* bank = performance != nullptr ? performance->currentBank : nullptr;
  if (bank == nullptr || !bank->slots[note].patch) return 0;
  lv::Plug& patch = *bank->slots[note].patch;
  if (!performer().ReleaseNote(static_cast<uint8_t>(note))) return -1;
  if (patch.channelMask != 0) patch.ReleaseDeviceObjects();
  patch.channelMask = 0;
  patch.Configure(owner);
  CreateDeviceObjects(patch, *bank);
  list_->RefreshNote(note);
  return 1;
}

void MainDialog::AssignNote() {
  if (!IsLive() || !NeedBank("You need to create a patch bank to put the note in")) return;
  const int note = dialogs_->SelectNote(Handle());
  performer().SetState(lv::Live);
  lv::Performance* performance = Current();
  if (note < 0 || performance == nullptr || performance->currentBank == nullptr) return;
  if (!performer().SetState(lv::Editing)) return;
  if (performance->currentBank->slots[note].patch) {
    const window::MessageBoxResult answer =
        Box("This note is already assigned.  Do you wish to clear it?", "Note in use",
            window::MessageBoxButtons::kYesNo, window::MessageBoxIcon::kNone, 1);
    if (answer != window::kIdYes) {
      performer().SetState(lv::Live);
      return;
    }
    // Editing since before the release, so no note-on can restart the patch
    // about to be deleted.
    if (!performer().ReleaseNote(static_cast<uint8_t>(note))) {
      performer().SetState(lv::Live);
      return;
    }
    performance->ClearNote(static_cast<uint8_t>(note));
    list_->RefreshNote(note);
  }
  if (ChoosePlugInForNote(note, Handle()) == 0) list_->RefreshNote(note);
  performer().SetState(lv::Live);
}

void MainDialog::EditNote() {
  if (!IsLive() || !NeedBank("There is no patch bank, and hence, no active notes")) return;
  const int note = dialogs_->SelectNote(Handle());
  performer().SetState(lv::Live);
  if (note < 0) return;
  if (!performer().SetState(lv::Editing)) return;
  if (EditNotePatch(note, Handle()) == 0) Box("This note is not assigned.", "Note unused");
  performer().SetState(lv::Live);
}

void MainDialog::ChangePriority() {
  if (!IsLive() || !NeedBank("There is no patch bank, and hence, no active notes")) return;
  const int note = dialogs_->SelectNote(Handle());
  performer().SetState(lv::Live);
  lv::Performance* performance = Current();
  if (note < 0 || performance == nullptr || performance->currentBank == nullptr) return;
  lv::NoteSlot& slot = performance->currentBank->slots[note];
  if (!slot.patch) {
    Box("This note is not assigned.", "Note unused");
    return;
  }
  const int priority = dialogs_->SelectPriority(Handle(), slot.priority);
  if (priority != NoteDialogs::kNoPriority) {
    slot.priority = static_cast<int8_t>(priority);
    performance->modified = 1;
  }
  list_->RefreshNote(note);
}

void MainDialog::DeleteNote() {
  if (!IsLive() || !NeedBank("You need a patch bank to delete notes from")) return;
  const int note = dialogs_->SelectNote(Handle());
  performer().SetState(lv::Live);
  lv::Performance* performance = Current();
  if (note < 0 || performance == nullptr || performance->currentBank == nullptr) return;
  if (!performance->currentBank->slots[note].patch) {
    Box("This note is not currently assigned", "Note unused");
    return;
  }
  if (!performer().SetState(lv::Editing)) return;
  if (!performer().ReleaseNote(static_cast<uint8_t>(note))) {
    performer().SetState(lv::Live);
    return;
  }
  performance->ClearNote(static_cast<uint8_t>(note));
  performer().SetState(lv::Live);
  list_->RefreshNote(note);
}

}  // namespace ui
