#include "option_boxes_dialog.h"

#include "module_dialogs.h"
#include "platform/window/dialog.h"
#include "platform/window/kit/dialog_helpers.h"
#include "platform/window/messages.h"

namespace kestrix {

bool RunOptionBoxesDialog(lv::WindowHandle owner, int dialogId, std::span<const OptionBox> boxes, uint32_t& options) {
  const auto proc = [&](window::Dialog& dialog, window::MessageId message, window::WParam w,
                        window::LParam) -> std::intptr_t {
    switch (message) {
      case window::msg::kInitDialog:
        for (const OptionBox& option : boxes) {
          dialog.CheckButton(option.box, (options & option.bit) != 0 ? window::CheckState::kChecked
                                                                     : window::CheckState::kUnchecked);
        }
        return 1;
      case window::msg::kCommand:
        if (window::CommandId(w) == window::kIdOk) {
          for (const OptionBox& option : boxes) {
            options = kit::DialogIsChecked(dialog, option.box) ? (options | option.bit) : (options & ~option.bit);
          }
          dialog.End(1);
        } else if (window::CommandId(w) == window::kIdCancel) {
          dialog.End(0);
        }
        return 1;
      case window::msg::kClose:
        dialog.End(0);
        return 1;
      default:
        return 0;
    }
  };
  return window::RunModalDialog(ModuleDialogs(), dialogId, static_cast<window::WindowHandle>(owner), proc) == 1;
}

}  // namespace kestrix
