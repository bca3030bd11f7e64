#pragma once
// "MIDI / FreeFrame": the channels the performance listens on, hold mode,
// the MIDI input device, and the folder FreeFrame plug-ins are loaded from
// at start-up.
#include <string>

#include "options/options_page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace ui {

namespace midi_page {
inline constexpr int kDeviceCombo = 1108;
// The channel boxes of channels 1..16.
inline constexpr int kChannelChecks[16] = {1026, 1029, 1031, 1033, 1034, 1035, 1036, 1037,
                                           1039, 1041, 1043, 1045, 1048, 1051, 1053, 1054};
inline constexpr int kHoldCheck = 1056;
inline constexpr int kFreeFrameEdit = 1166;
inline constexpr int kBrowse = 1167;
inline constexpr char kBrowseTitle[] = "Browse for FreeFrame plugin folder";
inline constexpr char kRestartText[] = "This change will not take effect until Lorvane GPU is restarted.";
inline constexpr char kRestartCaption[] = "FreeFrame Path Updated";
}  // namespace midi_page

class MidiPage final : public OptionsPage {
 public:
  MidiPage(OptionsSheetContext& context, QWidget* parent = nullptr);

  void Apply() override;
  void Browse();

 private:
  void FillDevices();

  QCheckBox* channels_[16] = {};
  QCheckBox* hold_ = nullptr;
  QComboBox* devices_ = nullptr;
  QLineEdit* folder_ = nullptr;
};

}  // namespace ui
