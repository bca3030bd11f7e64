#pragma once
// What a file dialog asks for; the window layer shows it.
#include <string>

namespace lv {

struct FileDialogRequest {
  std::string title;             // empty: the dialog's own title
  std::string filterName;        // e.g. "AVI files"
  std::string pattern;           // e.g. "*.avi"
  std::string initialName;       // preset file name, may be empty
  std::string defaultExtension;  // added to a name typed without one
  bool fileMustExist = false;    // open dialogs
  bool confirmOverwrite = false; // save dialogs: also the folder must exist
};

}  // namespace lv
