// The "Patch Bank" buttons and the bank scroll bar.
#include <QScrollBar>

#include "dialogs/program_ids.h"
#include "main_dialog/main_dialog.h"

namespace ui {

void MainDialog::ShowBank(lv::Bank* bank) {
  lv::Performance* performance = Current();
  if (!RenderThreadAnswers()) {
    // The bar goes back to the bank that still plays.
    bankScroll_->setValue(performance->IndexOfBank(performance->currentBank));
    return;
  }
  performance->SelectBank(bank->programNumber);
  for (uint8_t channel = 0; channel < lv::Performer::kChannels; ++channel) {
    performer().SetChannelBank(channel, performance->currentBank);
  }
  bankScroll_->setValue(performance->IndexOfBank(bank));
  SetBankLabels(performance->currentBankNumber, performance->currentBank);
}

void MainDialog::BankScroll(window::ScrollCode code, int position) {
  lv::Performance* performance = Current();
  if (performance == nullptr) return;
  const int32_t index = performance->IndexOfBank(performance->currentBank);
  lv::Bank* bank = nullptr;
  switch (code) {
    case window::ScrollCode::kLineLeft:
    case window::ScrollCode::kPageLeft: bank = performance->BankAt(index - 1); break;
    case window::ScrollCode::kLineRight:
    case window::ScrollCode::kPageRight: bank = performance->BankAt(index + 1); break;
    case window::ScrollCode::kThumbPosition: bank = performance->BankAt(position); break;
    case window::ScrollCode::kThumbTrack:
      if (lv::Bank* shown = performance->BankAt(position)) SetBankLabels(shown->programNumber, shown);
      return;
    case window::ScrollCode::kLeft: bank = performance->BankAt(0); break;
    case window::ScrollCode::kRight: bank = performance->BankAt(performance->banks.Count() - 1); break;
    default: return;
  }
  if (bank != nullptr) {
    ShowBank(bank);
  } else if (bankScroll_->isEnabled()) {
    // The bar moved past the ends: put it back on the current bank.
    bankScroll_->setValue(index);
  }
}

void MainDialog::CreateNewBank() {
  lv::Performance* performance = Current();
  if (!IsLive() || performance == nullptr) return;
  int proposed = 255;
  for (int number = 0; number <= 255; ++number) {
    if (performance->FindBank(static_cast<uint8_t>(number)) == nullptr) {
      proposed = number;
      break;
    }
  }
  const int number = dialogs_->CreateNewPatch(Handle(), proposed);
  if (number < 0) return;
  if (performance->FindBank(static_cast<uint8_t>(number)) != nullptr) {
    const window::MessageBoxResult answer =
        Box("This patch already exists.  Do you wish to clear it?", "Patch in use",
            window::MessageBoxButtons::kYesNo, window::MessageBoxIcon::kNone, 1);
    if (answer != window::kIdYes) return;
  }
  performance->CreateBank(static_cast<uint8_t>(number));
  performance->SelectBank(number);
  for (uint8_t channel = 0; channel < lv::Performer::kChannels; ++channel) {
    performer().SetChannelBank(channel, performance->currentBank);
  }
  UpdateBankControls();
}

void MainDialog::RenameBank() {
  lv::Performance* performance = Current();
  if (performance == nullptr || performance->currentBank == nullptr || !IsLive()) return;
  if (!dialogs_->SetPatchName(Handle(), *performance->currentBank)) return;
  // A new name is an edit like any other: it is saved, or asked about.
  performance->modified = 1;
  UpdateBankControls();
}

void MainDialog::DeleteBank() {
  lv::Performance* performance = Current();
  if (performance == nullptr || performance->currentBank == nullptr || !IsLive()) return;
  const window::MessageBoxResult answer = Box("Are you sure you wish to delete the current patch?", "Delete Patch",
                                              window::MessageBoxButtons::kYesNo, window::MessageBoxIcon::kNone, 1);
  if (answer != window::kIdYes) return;
  lv::Bank* doomed = performance->currentBank;
  const int32_t index = performance->IndexOfBank(doomed);
  lv::Bank* neighbour = performance->BankAt(index + 1);
  if (neighbour == nullptr) neighbour = performance->BankAt(index - 1);
  for (uint8_t channel = 0; channel < lv::Performer::kChannels; ++channel) {
    // A channel still playing the bank keeps it: it is not deleted.
    if (!performer().SetChannelBank(channel, neighbour)) return;
  }
  // Nothing may keep showing a patch of the bank about to go.
  if (services_.shelf != nullptr) services_.shelf->Populate(nullptr);
  performance->DeleteBank(doomed->programNumber);
  if (neighbour != nullptr) {
    performance->SelectBank(neighbour->programNumber);
  } else {
    performance->currentBankNumber = -1;
    performance->currentBank = nullptr;
  }
  UpdateBankControls();
}

}  // namespace ui
