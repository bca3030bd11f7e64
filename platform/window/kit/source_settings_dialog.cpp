#include "platform/window/kit/source_settings_dialog.h"

#include "platform/window/kit/dialog_helpers.h"

namespace kit {
namespace {

using window::CheckState;
using window::Dialog;
using window::NotifyCode;

class SourceSettingsDialog {
 public:
  SourceSettingsDialog(std::span<const OptionCheckBox> checkBoxes, const SourceSettingsFields& fields,
                       SettingsDialogExtras* extras)
      : checkBoxes_(checkBoxes), fields_(fields), extras_(extras) {}

  std::intptr_t Handle(Dialog& dialog, window::MessageId message, window::WParam w, window::LParam l) {
    switch (message) {
      case window::msg::kInitDialog:
        Init(dialog);
        return 1;
      case window::msg::kCommand:
        return Command(dialog, window::CommandId(w), window::CommandCode(w)) ? 1 : 0;
      case window::msg::kHScroll:
      case window::msg::kVScroll:
        return extras_ != nullptr && extras_->Scroll(dialog, message, w, int(l)) ? 1 : 0;
      case window::msg::kClose:
        dialog.End(0);
        return 1;
    }
    return 0;
  }

 private:
  void Init(Dialog& dialog) {
    const char* name = fields_.sourceName != nullptr ? fields_.sourceName->Get() : nullptr;
    if (name != nullptr) dialog.SetItemText(kSourceNameStatic, name);
    const uint32_t options = fields_.options != nullptr ? *fields_.options : 0;
    for (const OptionCheckBox& box : checkBoxes_) {
      dialog.CheckButton(box.controlId, (options & box.bit) != 0 ? CheckState::kChecked : CheckState::kUnchecked);
    }
    if (fields_.volume != nullptr) {
      dialog.SetRange(audio_box::kVolumeSpin, 0, 127);
      dialog.SetPosition(audio_box::kVolumeSpin, *fields_.volume);
    }
    if (fields_.pan != nullptr) {
      dialog.SetRange(audio_box::kPanSpin, -63, 63);
      dialog.SetPosition(audio_box::kPanSpin, int(*fields_.pan) - 64);
    }
    if (extras_ != nullptr) extras_->Init(dialog);
    // A new patch starts by choosing its source.
    if (name == nullptr) dialog.Post(window::msg::kCommand, window::MakeCommand(kSourceButton), 0);
    DialogUpdateVelocityControls(dialog);
  }

  bool Command(Dialog& dialog, int id, NotifyCode code) {
    if (code == NotifyCode::kClicked) DialogUpdateVelocityControls(dialog);
    switch (id) {
      case kSourceButton:
        ChooseSource(dialog);
        return true;
      case window::kIdOk:
        Apply(dialog);
        dialog.End(1);
        return true;
      case window::kIdCancel:
        dialog.End(0);
        return true;
    }
    return extras_ != nullptr && extras_->Command(dialog, id, code);
  }

  void ChooseSource(Dialog& dialog) {
    if (fields_.host == nullptr || fields_.sourceName == nullptr) return;
    const char* chosen = fields_.host->SelectSource(static_cast<lv::WindowHandle>(dialog.Handle()),
                                                    fields_.sourceName->Get());
    if (chosen == nullptr) return;
    // Applied at once: Cancel does not take a chosen source back.
    fields_.sourceName->Set(chosen);
    dialog.SetItemText(kSourceNameStatic, fields_.sourceName->Get());
  }

  void Apply(Dialog& dialog) {
    if (fields_.options != nullptr) {
      uint32_t options = *fields_.options;
      for (const OptionCheckBox& box : checkBoxes_) {
        options = DialogIsChecked(dialog, box.controlId) ? (options | box.bit) : (options & ~box.bit);
      }
      *fields_.options = options;
    }
    if (fields_.volume != nullptr) *fields_.volume = uint8_t(DialogReadInt(dialog, audio_box::kVolumeEdit, 0, 127));
    if (fields_.pan != nullptr) *fields_.pan = uint8_t(DialogReadInt(dialog, audio_box::kPanEdit, -63, 63) + 64);
    if (extras_ != nullptr) extras_->Apply(dialog);
  }

  std::span<const OptionCheckBox> checkBoxes_;
  SourceSettingsFields fields_;
  SettingsDialogExtras* extras_;
};

}  // namespace

bool RunSourceSettingsDialog(const window::DialogTemplateSet& templates, int templateId, lv::WindowHandle owner,
                             std::span<const OptionCheckBox> checkBoxes, const SourceSettingsFields& fields,
                             SettingsDialogExtras* extras) {
  SourceSettingsDialog settings(checkBoxes, fields, extras);
  const std::intptr_t result = window::RunModalDialog(
      templates, templateId, static_cast<window::WindowHandle>(owner),
      [&settings](Dialog& dialog, window::MessageId message, window::WParam w, window::LParam l) {
        return settings.Handle(dialog, message, w, l);
      });
  // -1 (no dialog could run) is not an OK.
  return result == 1;
}

}  // namespace kit
