#include "platform/window/text_entry_dialog.h"

#include <cstring>
#include <string>

namespace window {

DialogTemplate TextEntryDialogTemplate() {
  return {kTextEntryDialogId, "", 200, 48, {
      {ControlKind::kEdit, kTextEntryEditId, "", 7, 7, 186, 14},
      {ControlKind::kButton, kIdOk, "OK", 89, 27, 50, 14, kDefaultButton},
      {ControlKind::kButton, kIdCancel, "Cancel", 143, 27, 50, 14},
  }};
}

std::intptr_t TextEntryDialogProc(Dialog& dialog, MessageId message, WParam w, LParam l) {
  if (message == msg::kInitDialog) {
    const auto* request = reinterpret_cast<const TextEntryRequest*>(l);
    const char* caption = request ? request->caption : nullptr;
    const char* initialText = request ? request->initialText : nullptr;
    dialog.SetCaption(caption ? caption : "");
    dialog.SetItemText(kTextEntryEditId, initialText ? initialText : "");
  } else if (message == msg::kCommand) {
    if (CommandId(w) == kIdOk) {
      const std::string text = dialog.GetItemText(kTextEntryEditId);
      char* copy = new char[text.size() + 1];
      std::memcpy(copy, text.c_str(), text.size() + 1);
      dialog.End(reinterpret_cast<std::intptr_t>(copy));
    } else if (CommandId(w) == kIdCancel) {
      dialog.End(0);
    }
  }
  return 0;
}

std::unique_ptr<char[]> RunTextEntryDialog(const DialogTemplateSet& templates, WindowHandle owner,
                                           const char* caption, const char* initialText) {
  const TextEntryRequest request{caption, initialText};
  const std::intptr_t result = RunModalDialog(templates, kTextEntryDialogId, owner, TextEntryDialogProc,
                                              reinterpret_cast<LParam>(&request));
  if (result == 0 || result == -1) return nullptr;
  return std::unique_ptr<char[]>(reinterpret_cast<char*>(result));
}

}  // namespace window
