#include "files/program_folder.h"

#include "platform/sys/module_path.h"

namespace lv {

std::string ProgramFolder() {
  const std::string path = sys::ProgramPath();
  if (path.find('/') == std::string::npos) return {};
  return sys::FolderOf(path);
}

std::string FileInFolder(const std::string& folder, const std::string& name) {
  if (folder.empty() || name.empty()) return {};
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace lv
