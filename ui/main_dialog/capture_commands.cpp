// Recording MIDI to a capture file, and reopening the MIDI input.
#include "dialogs/program_ids.h"
#include "main_dialog/main_dialog.h"
#include "platform/window/common_dialogs.h"

namespace ui {
namespace {

// Hidden while recording, in this order.
constexpr int kHiddenWhileRecording[] = {
    ids::kAssign,    ids::kEdit,       ids::kReassign,   ids::kPriority,   ids::kDeleteNote, ids::kRename,
    ids::kCreateNew, ids::kListPatches, ids::kDeleteBank, ids::kNotesGroup, ids::kBankGroup,  ids::kBankNumber,
    ids::kBankScroll, ids::kBankName,  ids::kUseKeyboard, ids::kKeyboardField, ids::kKeyboardHint1,
    ids::kKeyboardHint2};

}  // namespace

void MainDialog::StartCapture() {
  // A recording starts only from the live display: never over another
  // recording or a playback, whose file it would replace.
  if (services_.capture == nullptr || !IsLive()) return;
  window::FileDialogRequest request;
  request.owner = Handle();
  static constexpr char kFilter[] = "Lorvane MIDI capture\0*.midicap\0";
  request.filter = std::string(kFilter, sizeof kFilter);
  request.filterIndex = 1;
  request.initialPath = "Performance.midicap";
  request.defaultExtension = "midicap";
  request.overwritePrompt = true;
  request.pathMustExist = true;
  const std::optional<std::string> path = window::GetSaveFileName(request);
  if (!path) return;
  if (!services_.capture->StartRecording(*path)) {
    Box("There was a problem initiating record mode.", "Recording error", window::MessageBoxButtons::kOk,
        window::MessageBoxIcon::kError);
    return;
  }
  for (int id : kHiddenWhileRecording) Item(id)->setVisible(false);
  Item(ids::kStopRecording)->setVisible(true);
  UpdateCommandStates();
}

void MainDialog::StopCapture() {
  if (services_.capture == nullptr || performer().State() != lv::Recording) return;
  services_.capture->StopRecording();
  Item(ids::kStopRecording)->setVisible(false);
  for (int id : kHiddenWhileRecording) Item(id)->setVisible(true);
  UpdateCommandStates();
}

void MainDialog::ReopenMidiInput() {
  lv::Performance* performance = Current();
  if (services_.midi != nullptr && performance != nullptr) services_.midi->Reopen(performance->MidiDevice());
}

}  // namespace ui
