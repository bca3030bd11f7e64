#include "render/window_file_dialog.h"

namespace lv {

window::FileDialogRequest ToWindowFileDialog(const FileDialogRequest& request, window::WindowHandle owner) {
  window::FileDialogRequest out;
  out.owner = owner;
  out.title = request.title;
  if (!request.filterName.empty()) {
    out.filter = request.filterName;
    out.filter += '\0';
    out.filter += request.pattern;
    out.filter += '\0';
    out.filter += '\0';
  }
  out.filterIndex = 1;
  out.initialPath = request.initialName;
  out.defaultExtension = request.defaultExtension;
  out.fileMustExist = request.fileMustExist;
  // A save dialog that asks before overwriting also wants an existing folder.
  out.overwritePrompt = request.confirmOverwrite;
  out.pathMustExist = request.confirmOverwrite;
  return out;
}

}  // namespace lv
