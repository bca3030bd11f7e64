#include "interim_plugin_loading.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

#include "platform/sys/log.h"

namespace app {

void InterimPluginLibraries::LoadFolder(const std::string& folder, InterimDeviceSource deviceSource) {
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".so") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      sys::Log("Plug-in library %s did not load: %s", file.c_str(), dlerror());
      continue;
    }
    auto getVersion = reinterpret_cast<int (*)()>(dlsym(handle, "lvpGetVersion"));
    auto getCount = reinterpret_cast<int (*)()>(dlsym(handle, "lvpGetNumPlugs"));
    auto getDesc = reinterpret_cast<lv::PlugDesc* (*)(int)>(dlsym(handle, "lvpGetPlugDesc"));
    if (getVersion == nullptr || getCount == nullptr || getDesc == nullptr || getVersion() != 768) {
      sys::Log("Plug-in library %s is not a plug-in library of this version", file.c_str());
      dlclose(handle);
      continue;
    }
    if (auto connect = reinterpret_cast<void (*)(InterimDeviceSource)>(dlsym(handle, "lvpInterimSetDeviceSource")))
      connect(deviceSource);
    handles_.push_back(handle);
    for (int i = 0, n = getCount(); i < n; ++i)
      if (lv::PlugDesc* desc = getDesc(i)) kinds_.push_back(desc);
    sys::Log("Loaded plug-in library %s", file.filename().c_str());
  }
}

void InterimPluginLibraries::FreeAll() {
  kinds_.clear();
  for (void* handle : handles_) dlclose(handle);
  handles_.clear();
}

}  // namespace app
