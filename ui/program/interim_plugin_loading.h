#pragma once
// INTERIM: plug-in library loading until the plug-in registry and the host
// object are wired into the program. Program::LoadPlugins is the one call
// site; it becomes LoadPlugins(ThePlugRegistry(), libraries, mainDialog).
//
// Opens every "*.so" in a folder (in name order), keeps the libraries whose
// lvpGetVersion answers 768, and collects their plug-in kinds. Since no host
// object exists yet, a library that exports lvpInterimSetDeviceSource gets a
// function answering the current device instead.
#include <string>
#include <vector>

#include "lv/plug_desc.h"
#include "platform/gfx/device.h"

namespace app {

using InterimDeviceSource = gfx::Device* (*)();

class InterimPluginLibraries {
 public:
  ~InterimPluginLibraries() { FreeAll(); }
  void LoadFolder(const std::string& folder, InterimDeviceSource deviceSource);
  void FreeAll();
  const std::vector<lv::PlugDesc*>& Kinds() const { return kinds_; }

 private:
  std::vector<void*> handles_;
  std::vector<lv::PlugDesc*> kinds_;
};

}  // namespace app
