#pragma once
// The FreeFrame libraries of the FreeFrame folder: each "*.so" exporting
// "plugMain" that passes the checks becomes one plug-in kind (category
// "FreeFrame") in the registry, and stays loaded until UnloadPlugins.
#include <memory>
#include <string>
#include <vector>

#include "freeframe/freeframe_abi.h"
#include "freeframe/freeframe_desc.h"
#include "registry/plug_registry.h"

namespace ff {

class FreeFrameHost {
 public:
  FreeFrameHost() = default;
  // Unloads whatever is still loaded from the registry it was given.
  ~FreeFrameHost();
  FreeFrameHost(const FreeFrameHost&) = delete;
  FreeFrameHost& operator=(const FreeFrameHost&) = delete;

  // Probes every "*.so" of `folder` in name order. A library that does not
  // open or has no "plugMain" is skipped; a rejected one is closed again.
  // Nothing is reported: a folder without libraries is normal.
  void LoadPlugins(const std::string& folder, lv::PlugRegistry& registry);

  // The acceptance checks; true registers a kind for `entry` (held by
  // `module`, which the host then keeps open).
  bool QueryPlugin(PlugMainFn entry, void* module, lv::PlugRegistry& registry);

  // Removes every kind from its registry, deinitialises and closes each
  // library, in loading order.
  void UnloadPlugins();

  int32_t ModuleCount() const { return int32_t(modules_.size()); }
  FreeFrameDesc* Descriptor(int32_t i) const { return modules_[size_t(i)].descriptor.get(); }

 private:
  struct Module {
    void* handle = nullptr;  // dlopen handle
    PlugMainFn entry = nullptr;
    std::unique_ptr<FreeFrameDesc> descriptor;
    lv::PlugRegistry* registry = nullptr;
  };
  std::vector<Module> modules_;
};

// The program's one FreeFrame host.
FreeFrameHost& TheFreeFrameHost();

// The folder the settings name: a relative path is taken beside the program.
std::string FreeFrameFolder(const std::string& settingsPath);

// Start-up, after the built-in and library kinds: probes the settings'
// FreeFrame folder (resolved by FreeFrameFolder) into `registry`.
void ScanFreeFrameFolder(const std::string& settingsPath, lv::PlugRegistry& registry);
// Shutdown, before the plug-in libraries are freed.
void UnloadFreeFrame();

}  // namespace ff
