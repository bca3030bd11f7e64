#pragma once
// The plug-in libraries found in the program's plug-in folder. Each library
// exports lvpGetVersion (must answer kPluginVersion), lvpGetNumPlugs and
// lvpGetPlugDesc; every descriptor of an accepted library is registered as a
// plug-in kind. Libraries stay loaded until FreeAll, which runs at shutdown
// once nothing uses their kinds any more.
#include <string>
#include <vector>

#include "registry/plug_registry.h"

namespace lv {

inline constexpr int kPluginVersion = 768;

// The library exports, as the loader looks them up.
using PluginGetVersionFn = int (*)();
using PluginGetNumPlugsFn = int (*)();
using PluginGetPlugDescFn = PlugDesc* (*)(int);

class PluginLibraries {
 public:
  PluginLibraries() = default;
  // Frees whatever is still loaded (FreeAll).
  ~PluginLibraries();
  PluginLibraries(const PluginLibraries&) = delete;
  PluginLibraries& operator=(const PluginLibraries&) = delete;

  // Opens every "*.so" in `folder` (in name order) and registers the kinds of
  // each library that passes the checks. A library that does not open or
  // lacks an export is skipped with a log line; one with another version is
  // also reported to the user in a "Plug-in Error" box owned by `owner`.
  void LoadFolder(const std::string& folder, PlugRegistry& registry, WindowHandle owner = nullptr);

  // The accepted libraries' handles, in loading order.
  const std::vector<ModuleHandle>& Modules() const { return modules_; }

  // Closes every accepted library in loading order.
  void FreeAll();

 private:
  std::vector<ModuleHandle> modules_;
};

// "Plugins" beside the program.
std::string PluginFolder();

// Start-up: registers the built-in kinds (given by the program, which holds
// them), then the kinds of the libraries in PluginFolder().
using RegisterBuiltinKindsFn = void (*)(PlugRegistry& registry);
void LoadPlugins(PlugRegistry& registry, PluginLibraries& libraries, RegisterBuiltinKindsFn registerBuiltinKinds,
                 WindowHandle owner);

}  // namespace lv
