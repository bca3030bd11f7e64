#include "render/compressor_dialog.h"

#include <algorithm>
#include <string>

#include "platform/window/dialog.h"
#include "platform/window/messages.h"

namespace lv {
namespace {

using window::CheckState;
using window::ControlKind;
using window::Dialog;

// What an unticked setting's box shows, for the user to start from.
constexpr int kSuggestedQuality = 75;
constexpr int kSuggestedKeyFrameEvery = 15;
constexpr int kSuggestedDataRateKBps = 300;

struct DialogRun {
  const std::vector<media::VideoEncoderInfo>& encoders;
  media::CompressorChoice choice;
};

// One optional setting: its check box, its edit and the range it keeps to.
struct Setting {
  int check;
  int edit;
  int minimum;
  int maximum;
  bool media::VideoEncoderInfo::*offered;
};
constexpr Setting kQuality{kQualityCheck, kQualityEdit, 0, 100, &media::VideoEncoderInfo::hasQuality};
constexpr Setting kKeyFrames{kKeyFrameCheck, kKeyFrameEdit, 1, 100000, &media::VideoEncoderInfo::hasKeyFrames};
constexpr Setting kDataRate{kDataRateCheck, kDataRateEdit, 1, 1000000, &media::VideoEncoderInfo::hasDataRate};
constexpr Setting kSettings[] = {kQuality, kKeyFrames, kDataRate};

const media::VideoEncoderInfo* Selected(const DialogRun& run, Dialog& dialog) {
  const int index = dialog.GetCurSel(kCompressorList);
  if (index < 0 || index >= static_cast<int>(run.encoders.size())) return nullptr;
  return &run.encoders[static_cast<size_t>(index)];
}

// A setting the encoder does not take cannot be ticked; an unticked one
// cannot be typed into.
void UpdateSettingControls(const DialogRun& run, Dialog& dialog) {
  const media::VideoEncoderInfo* encoder = Selected(run, dialog);
  for (const Setting& setting : kSettings) {
    const bool offered = encoder != nullptr && encoder->*setting.offered;
    dialog.EnableItem(setting.check, offered);
    dialog.EnableItem(setting.edit, offered && dialog.GetCheck(setting.check) == CheckState::kChecked);
  }
}

void PresetSetting(Dialog& dialog, const Setting& setting, int value, bool set, int suggested) {
  dialog.CheckButton(setting.check, set ? CheckState::kChecked : CheckState::kUnchecked);
  dialog.SetItemInt(setting.edit, set ? value : suggested);
}

// The ticked value kept to its range; `unset` when unticked, not offered or
// not a number.
int ReadSetting(Dialog& dialog, const media::VideoEncoderInfo& encoder, const Setting& setting, int unset) {
  if (!(encoder.*setting.offered) || dialog.GetCheck(setting.check) != CheckState::kChecked) return unset;
  bool ok = false;
  const int value = dialog.GetItemInt(setting.edit, &ok);
  if (!ok) return unset;
  return std::clamp(value, setting.minimum, setting.maximum);
}

void Init(DialogRun& run, Dialog& dialog) {
  int selected = 0;
  for (size_t i = 0; i < run.encoders.size(); ++i) {
    dialog.AddString(kCompressorList, run.encoders[i].description);
    if (run.encoders[i].name == run.choice.encoder) selected = static_cast<int>(i);
  }
  dialog.SetCurSel(kCompressorList, selected);
  const media::CompressorChoice& c = run.choice;
  PresetSetting(dialog, kQuality, c.quality, c.quality >= 0, kSuggestedQuality);
  PresetSetting(dialog, kKeyFrames, c.keyFrameEvery, c.keyFrameEvery > 0, kSuggestedKeyFrameEvery);
  PresetSetting(dialog, kDataRate, c.dataRateKBps, c.dataRateKBps > 0, kSuggestedDataRateKBps);
  UpdateSettingControls(run, dialog);
}

void Accept(DialogRun& run, Dialog& dialog) {
  const media::VideoEncoderInfo* encoder = Selected(run, dialog);
  if (encoder == nullptr) return;  // OK needs an encoder
  media::CompressorChoice choice;
  choice.encoder = encoder->name;
  choice.quality = ReadSetting(dialog, *encoder, kQuality, -1);
  choice.keyFrameEvery = ReadSetting(dialog, *encoder, kKeyFrames, 0);
  choice.dataRateKBps = ReadSetting(dialog, *encoder, kDataRate, 0);
  run.choice = choice;
  dialog.End(window::kIdOk);
}

std::intptr_t CompressorProc(DialogRun& run, Dialog& dialog, window::MessageId message, window::WParam w) {
  switch (message) {
    case window::msg::kInitDialog:
      Init(run, dialog);
      return 1;
    case window::msg::kCommand:
      switch (window::CommandId(w)) {
        case window::kIdOk:
          Accept(run, dialog);
          return 1;
        case window::kIdCancel:
          dialog.End(window::kIdCancel);
          return 1;
        case kCompressorList:
        case kQualityCheck:
        case kKeyFrameCheck:
        case kDataRateCheck:
          UpdateSettingControls(run, dialog);
          return 1;
      }
      return 0;
    case window::msg::kClose:
      dialog.End(window::kIdCancel);
      return 1;
  }
  return 0;
}

}  // namespace

window::DialogTemplate CompressorDialogTemplate() {
  using window::kDefaultButton;
  using window::kNumberOnly;
  return {kCompressorDialogId, "Video Compression", 200, 112, {
      {ControlKind::kStatic, -1, "&Compressor:", 7, 9, 46, 8},
      {ControlKind::kComboBox, kCompressorList, "", 55, 7, 138, 60},
      {ControlKind::kGroupBox, -1, "Settings", 7, 26, 186, 60},
      {ControlKind::kCheckBox, kQualityCheck, "&Quality (0-100):", 14, 39, 90, 10},
      {ControlKind::kEdit, kQualityEdit, "", 106, 38, 36, 12, kNumberOnly},
      {ControlKind::kCheckBox, kKeyFrameCheck, "&Key frame every", 14, 55, 90, 10},
      {ControlKind::kEdit, kKeyFrameEdit, "", 106, 54, 36, 12, kNumberOnly},
      {ControlKind::kStatic, -1, "frames", 146, 56, 40, 8},
      {ControlKind::kCheckBox, kDataRateCheck, "&Data rate", 14, 71, 90, 10},
      {ControlKind::kEdit, kDataRateEdit, "", 106, 70, 36, 12, kNumberOnly},
      {ControlKind::kStatic, -1, "KB/sec", 146, 72, 40, 8},
      {ControlKind::kButton, window::kIdOk, "OK", 88, 92, 50, 14, kDefaultButton},
      {ControlKind::kButton, window::kIdCancel, "Cancel", 143, 92, 50, 14},
  }};
}

std::optional<media::CompressorChoice> ShowCompressorDialog(window::WindowHandle owner,
                                                            const std::vector<media::VideoEncoderInfo>& encoders,
                                                            const media::CompressorChoice& initial) {
  if (encoders.empty()) return std::nullopt;
  window::DialogTemplateSet templates;
  templates.Add(CompressorDialogTemplate());
  DialogRun run{encoders, initial};
  const std::intptr_t result = window::RunModalDialog(
      templates, kCompressorDialogId, owner,
      [&run](Dialog& dialog, window::MessageId message, window::WParam w, window::LParam) {
        return CompressorProc(run, dialog, message, w);
      });
  if (result != window::kIdOk) return std::nullopt;
  return run.choice;
}

}  // namespace lv
