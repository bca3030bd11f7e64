#pragma once
// The dialog behind the host's source chooser. The plain one is the window
// layer's open-file dialog; the program replaces it with one that also lists
// the sources that are not files.
#include <functional>
#include <optional>
#include <string>

#include "platform/window/common_dialogs.h"

namespace lv {

struct SourceDialogRequest {
  window::FileDialogRequest files;  // owner, title, filter, initial file name
  // A non-file source to preselect ("Work 1:"), or empty.
  std::string currentSource;
};

struct SourceDialogAnswer {
  // The chosen file when the dialog ended with one.
  std::optional<std::string> file;
  // Otherwise the non-file source the user picked (its prefix, without the
  // colon), or empty.
  std::string source;
};

using SourceDialog = std::function<SourceDialogAnswer(const SourceDialogRequest&)>;

// The open-file dialog alone.
SourceDialogAnswer RunPlainSourceDialog(const SourceDialogRequest& request);

}  // namespace lv
