#pragma once
// The one-line text entry dialog: a caption, an edit field with a suggested
// text, OK and Cancel.
#include <cstdint>
#include <memory>

#include "platform/window/dialog.h"
#include "platform/window/dialog_template.h"

namespace window {

inline constexpr int kTextEntryDialogId = 157;
inline constexpr int kTextEntryEditId = 1065;

// The dialog's creation parameter; either text may be null (empty).
struct TextEntryRequest {
  const char* caption = nullptr;
  const char* initialText = nullptr;
};

// Template 157: edit 1065, OK (the default button) and Cancel.
DialogTemplate TextEntryDialogTemplate();

// The procedure. kInitDialog (l: a const TextEntryRequest*) sets the caption
// and the edit's text. OK ends the dialog with a copy of the edit's text,
// allocated with new char[] (the caller deletes it); Cancel ends it with 0.
// Answers 0 to every message.
std::intptr_t TextEntryDialogProc(Dialog& dialog, MessageId message, WParam w, LParam l);

// Runs the dialog `kTextEntryDialogId` of `templates` with the procedure and
// takes the copy: null on Cancel, and null when the dialog cannot run at all
// (no template, no user interface), where the dialog's result is no text.
std::unique_ptr<char[]> RunTextEntryDialog(const DialogTemplateSet& templates, WindowHandle owner,
                                           const char* caption, const char* initialText);

}  // namespace window
