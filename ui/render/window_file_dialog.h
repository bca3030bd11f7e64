#pragma once
// The engine's file dialog requests in the window layer's terms.
#include "capture/file_dialog_request.h"
#include "platform/window/common_dialogs.h"

namespace lv {

// One filter entry, the request's options, `owner` as the dialog's owner.
window::FileDialogRequest ToWindowFileDialog(const FileDialogRequest& request, window::WindowHandle owner);

}  // namespace lv
