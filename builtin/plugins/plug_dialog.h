#pragma once
// The settings dialog of ShowBMP and Color Fill: a dialog of the program's
// own whose check boxes show the option bits. The shared part sets the boxes
// when the dialog opens, and on OK reads them back into the option word,
// lets the class's procedure read its own controls and ends the dialog;
// Cancel and the close box end it without a change.
#include <cstdint>
#include <span>

#include "lv/lorvane_interface.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/kit/source_settings_dialog.h"
#include "plugins/plug_resources.h"

namespace builtin {

template <class PlugClass>
using PlugDialogProc = std::intptr_t (*)(PlugClass&, window::Dialog&, window::MessageId, window::WParam);

// Runs dialog `templateId` modally for `plug`; true when it ended with OK.
template <class PlugClass>
bool RunPlugDialog(int templateId, lv::WindowHandle owner, PlugClass& plug,
                   std::span<const kit::OptionCheckBox> checkBoxes, PlugDialogProc<PlugClass> proc) {
  const std::intptr_t result = window::RunModalDialog(
      PlugDialogs(), templateId, static_cast<window::WindowHandle>(owner),
      [&plug, checkBoxes, proc](window::Dialog& dialog, window::MessageId message, window::WParam w,
                                window::LParam) -> std::intptr_t {
        const bool command = message == window::msg::kCommand;
        if (message == window::msg::kClose || (command && window::CommandId(w) == window::kIdCancel)) {
          dialog.End(0);
          return 1;
        }
        if (message == window::msg::kInitDialog) {
          for (const kit::OptionCheckBox& box : checkBoxes) {
            dialog.CheckButton(box.controlId, (plug.Options() & box.bit) != 0 ? window::CheckState::kChecked
                                                                                : window::CheckState::kUnchecked);
          }
        } else if (command && window::CommandId(w) == window::kIdOk) {
          uint32_t options = plug.Options();
          for (const kit::OptionCheckBox& box : checkBoxes) {
            options = kit::DialogIsChecked(dialog, box.controlId) ? options | box.bit : options & ~box.bit;
          }
          plug.SetOptions(options);
          proc(plug, dialog, message, w);
          dialog.End(1);
          return 1;
        }
        return proc(plug, dialog, message, w);
      });
  return result > 0;
}

}  // namespace builtin
