#include "platform/window/kit/dialog_helpers.h"

#include <algorithm>
#include <string>

namespace kit {

int ParseLeadingInt(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  // Texts longer than a dialog passes saturate instead of overflowing.
  constexpr long long kLimit = 0x80000000LL;
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    if (value < kLimit) value = value * 10 + (*p - '0');
  }
  value = negative ? -std::min(value, kLimit) : std::min(value, kLimit - 1);
  return int(value);
}

int DialogReadInt(window::Dialog& dialog, int editId, int minimum, int maximum) {
  // Room for nine characters and the NUL, as the dialogs have always read it.
  const std::string text = dialog.GetItemText(editId, 10);
  const int value = ParseLeadingInt(text.c_str());
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return value;
}

bool DialogIsChecked(window::Dialog& dialog, int checkBoxId) {
  return dialog.GetCheck(checkBoxId) == window::CheckState::kChecked;
}

void DialogUpdateVelocityControls(window::Dialog& dialog) {
  const bool volumeTyped = !DialogIsChecked(dialog, audio_box::kVolumeVelocity);
  dialog.EnableItem(audio_box::kVolumeEdit, volumeTyped);
  dialog.EnableItem(audio_box::kVolumeSpin, volumeTyped);
  const bool panTyped = !DialogIsChecked(dialog, audio_box::kPanVelocity);
  dialog.EnableItem(audio_box::kPanEdit, panTyped);
  dialog.EnableItem(audio_box::kPanSpin, panTyped);
}

}  // namespace kit
