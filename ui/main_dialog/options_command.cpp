// "Options": the sheet on the current performance, and the rebuild its
// changes need.
#include "main_dialog/main_dialog.h"

namespace ui {

void MainDialog::ShowOptions() {
  lv::Performance* performance = Current();
  if (services_.options == nullptr || performance == nullptr || CaptureOrPlayback()) return;
  // The sheet reports a change even after Cancel: its controls act at once.
  if (!services_.options->Show(*performance, Handle())) return;
  UpdateMainTitle();  // and the channel mask to the Performer
  ReopenMidiInput();
  if (services_.display != nullptr) services_.display->SetDisplay(false);
}

}  // namespace ui
