#pragma once
// Small helpers the settings dialogs of plug-ins share.
#include "platform/window/dialog.h"

namespace kit {

// Control ids of the "Audio Parameters" box that source plug-ins' dialogs have.
namespace audio_box {
inline constexpr int kVolumeEdit = 1089;
inline constexpr int kPanEdit = 1090;
inline constexpr int kVolumeSpin = 1091;
inline constexpr int kVolumeVelocity = 1092;  // check box: volume follows the note velocity
inline constexpr int kPanSpin = 1093;
inline constexpr int kPanVelocity = 1094;     // check box: pan follows the note velocity
}  // namespace audio_box

// The number typed into an edit: at most its first 9 characters count, read
// like atoi (leading blanks, an optional sign, digits up to the first other
// character; 0 without digits), then clamped to [minimum, maximum].
int DialogReadInt(window::Dialog& dialog, int editId, int minimum, int maximum);

// The same conversion on a text, for callers that already hold it.
int ParseLeadingInt(const char* text);

// True when the check box is checked (not unchecked, not indeterminate).
bool DialogIsChecked(window::Dialog& dialog, int checkBoxId);

// A value that follows the velocity needs no typed value: the volume edit and
// spin are enabled only while their "Velocity" box is unchecked, the same for
// pan. Dialogs without these controls are left alone.
void DialogUpdateVelocityControls(window::Dialog& dialog);

}  // namespace kit
