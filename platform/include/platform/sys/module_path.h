#pragma once
#include <string>

namespace sys {

// Full path of the running program.
std::string ProgramPath();

// Full path of the module (program or shared library) that holds `address`;
// a plug-in library passes the address of one of its own functions.
std::string ModulePathOf(const void* address);

// Folder part of a path, without the trailing '/'.
std::string FolderOf(const std::string& path);

}  // namespace sys
