#pragma once
// Where the program keeps its settings and its recent-files list: beside its
// own executable.
#include <string>

namespace lv {

// The folder of the running program, empty when its path is not known.
std::string ProgramFolder();

// `folder` + '/' + `name`; empty (nothing to read or write) when the folder is.
std::string FileInFolder(const std::string& folder, const std::string& name);

}  // namespace lv
