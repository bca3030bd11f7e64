// The File menu: new, open, close, save, bundle, and the save-if-modified
// prompt.
#include "dialogs/program_ids.h"
#include "main_dialog/main_dialog.h"

namespace ui {

window::MessageBoxResult MainDialog::PromptSaveModified() {
  lv::Performance* performance = Current();
  if (performance == nullptr || performance->modified == 0) return window::kIdNo;
  const window::MessageBoxResult answer =
      Box("The current performance has been modified - Do you wish to save it?", "Are you sure?",
          window::MessageBoxButtons::kYesNoCancel, window::MessageBoxIcon::kQuestion);
  if (answer != window::kIdYes) return answer;
  // A save that fails or is cancelled must not let the caller discard the work.
  if (services_.projects == nullptr || !services_.projects->Save(*performance, false)) return window::kIdCancel;
  if (services_.recent != nullptr) {
    services_.recent->Add(performance->name.CStr());
    RebuildRecentFiles();
  }
  return window::kIdYes;
}

bool MainDialog::ReplacePerformance(lv::Performance* next) {
  lv::Performance* previous = Current();
  if (!performer().SetPerformance(nullptr)) return false;
  delete previous;
  return performer().SetPerformance(next);
}

void MainDialog::NewPerformance() {
  if (PromptSaveModified() == window::kIdCancel) return;
  auto* next = new lv::Performance(services_.settings != nullptr ? services_.settings->Defaults()
                                                                 : lv::PerformanceSettings{});
  next->CreateBank(0);
  next->SelectBank(0);
  if (!ReplacePerformance(next)) {
    if (Current() != next) delete next;
    return;
  }
  EnablePerformanceButtons(true);
  UpdateMainTitle();
  ReopenMidiInput();
}

void MainDialog::OpenPerformance(const char* fileName) {
  if (services_.projects == nullptr || CaptureOrPlayback()) return;
  if (PromptSaveModified() == window::kIdCancel) return;
  auto* next = new lv::Performance(services_.settings != nullptr ? services_.settings->Defaults()
                                                                 : lv::PerformanceSettings{});
  // The current performance stays halted while the file loads, so a failed
  // load leaves it exactly as it was.
  const lv::PerformerState before = performer().State();
  if (!performer().SetState(lv::Halted)) {
    delete next;
    return;
  }
  performer().SetPerformanceBeingLoaded(next);
  const bool loaded = services_.projects->Load(*next, fileName);
  performer().SetPerformanceBeingLoaded(nullptr);
  if (!loaded) {
    delete next;
    performer().SetState(before);
    const std::string failure = services_.projects->LoadFailure();
    if (!failure.empty())
      Box(failure.c_str(), "Load Lorvan file", window::MessageBoxButtons::kOk, window::MessageBoxIcon::kError);
    return;
  }
  if (services_.recent != nullptr) services_.recent->Add(next->name.CStr());
  if (!ReplacePerformance(next)) {
    if (Current() != next) delete next;
    return;
  }
  RebuildRecentFiles();
  if (services_.display != nullptr) {
    services_.display->SetDisplay(false);
  } else {
    performer().SetState(before == lv::Halted ? lv::Live : before);
  }
  UpdateMainTitle();
  ReopenMidiInput();
}

void MainDialog::ClosePerformance() {
  if (services_.projects == nullptr) return;
  if (lv::Performance* performance = Current()) {
    // Close saves without asking; if that fails the performance stays open.
    if (!services_.projects->Save(*performance, false)) return;
    if (services_.recent != nullptr) {
      services_.recent->Add(performance->name.CStr());
      RebuildRecentFiles();
    }
  }
  if (!ReplacePerformance(nullptr)) return;
  EnablePerformanceButtons(false);
  UpdateMainTitle();
}

void MainDialog::SavePerformance(bool saveAs) {
  lv::Performance* performance = Current();
  if (performance == nullptr || services_.projects == nullptr) return;
  if (!services_.projects->Save(*performance, saveAs)) return;
  if (services_.recent != nullptr) {
    services_.recent->Add(performance->name.CStr());
    RebuildRecentFiles();
  }
  if (saveAs) UpdateMainTitle();
}

void MainDialog::BundleProject() {
  lv::Performance* performance = Current();
  if (performance == nullptr || services_.bundler == nullptr) return;
  const std::string before = performance->name.CStr();
  const bool bundled = services_.bundler->Bundle(*performance);
  // A bundle whose copies partly failed was still saved in its new folder,
  // and later saves go there: the title and the list follow the file.
  if (!bundled && before == performance->name.CStr()) return;
  if (services_.recent != nullptr) {
    services_.recent->Add(performance->name.CStr());
    RebuildRecentFiles();
  }
  UpdateMainTitle();
}

void MainDialog::SaveOptionsAsDefaults() {
  lv::Performance* performance = Current();
  if (performance == nullptr || services_.settings == nullptr) return;
  // The record's fields are narrower than the performance's; the work
  // buffers, cursor hiding and custom-size flag stay as they were.
  lv::PerformanceSettings settings = services_.settings->Defaults();
  settings.channelMask = performance->channelMask & 0xFFFFu;
  settings.displayAdapter = static_cast<uint8_t>(performance->displayAdapter);
  settings.width = static_cast<uint16_t>(performance->width);
  settings.height = static_cast<uint16_t>(performance->height);
  settings.bitsPerPixel = static_cast<uint16_t>(performance->bitsPerPixel);
  settings.refreshRate = static_cast<uint16_t>(performance->refreshRate);
  settings.npw2 = performance->npw2;
  settings.hold = performance->hold;
  settings.midiDevice = performance->MidiDevice();
  services_.settings->SaveDefaults(settings);
}

}  // namespace ui
