#pragma once
// "Bundle Project": a self-contained copy of the performance. The user picks
// a parent folder and a project name; a folder named after the project is
// made there, every media file the patches' inputs read is copied into it,
// those inputs are pointed at the copies and the project is saved there.
// Runs on the user-interface thread.
#include <optional>
#include <string>

#include "files/project_file.h"

namespace lv {

class FileProgress;

// What bundling asks the user; the main dialog supplies the real dialogs.
class BundleDialogs {
 public:
  virtual ~BundleDialogs() = default;
  // The parent folder, starting in `start`; nothing when cancelled.
  virtual std::optional<std::string> AskParentFolder(const std::string& start) = 0;
  // The project name (caption "Enter the project name"), starting from
  // `suggested`; nothing when cancelled.
  virtual std::optional<std::string> AskProjectName(const std::string& suggested) = 0;
};

// The project file a bundle named `name` in `parentFolder` is saved as:
// "Show" → <parent>/Show/Show.LVP; "Show.lvp" → <parent>/Show/Show.lvp. The
// parent may end with a separator or not.
std::string BundledProjectPath(const std::string& parentFolder, const std::string& name);

// The whole command. False, with nothing changed, when the performance was
// never saved, the user cancels or the folder cannot be made. Otherwise the
// media are copied (a copy that fails leaves its inputs on the old path and
// the others are still done) and the project saved under the new name; false
// when any copy or the save failed (a failed save puts the old name back). Names that are not files (capture
// devices, work buffers: source kinds that are not file based) are left
// alone. Existing files are never overwritten: a file of the same name from
// elsewhere gets a numbered name ("loop_2.avi"). `progress` may be null.
bool BundleProject(Performance& performance, BundleDialogs& dialogs, const ProjectFileContext& context,
                   FileProgress* progress = nullptr);

// The same once the parent folder and name are known.
bool BundleProjectTo(Performance& performance, const std::string& parentFolder, const std::string& name,
                     const ProjectFileContext& context, FileProgress* progress = nullptr);

}  // namespace lv
