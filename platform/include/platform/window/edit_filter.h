#pragma once
#include "platform/window/dialog.h"

namespace window {

// Called after a character was typed into the one-line edit `editId` of
// `dialog`: the character before the caret goes through lv::FilterChar
// (mode 1 upper case, -1 lower case, other modes keep the case; characters
// of `rejected`, when not null, are removed). A removed character beeps and
// leaves the caret where it stood; a changed case leaves the caret after
// it. The whole text is read, however long. Nothing happens when the text is
// empty, the caret is at the start, the character is not ASCII, or the
// control is not a one-line edit; nor for the change the filter itself
// writes back. Returns what FilterChar answered (0 when nothing happened).
int FilterEditChar(const char* rejected, int mode, Dialog& dialog, int editId);

}  // namespace window
