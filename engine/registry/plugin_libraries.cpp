#include "registry/plugin_libraries.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/sys/log.h"
#include "platform/sys/module_path.h"
#include "platform/window/message_box.h"

namespace lv {

namespace {

std::vector<std::string> LibrariesIn(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::filesystem::path& path = it->path();
    if (path.extension() == ".so" && it->is_regular_file(error)) names.push_back(path.filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

const char* LoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown error";
}

void ReportWrongVersion(const std::string& fileName, WindowHandle owner) {
  window::MessageBoxRequest request;
  request.owner = static_cast<window::WindowHandle>(owner);
  request.text = "The plug-in \"" + fileName + "\" was written for a different version of Lorvane.";
  request.caption = "Plug-in Error";
  request.icon = window::MessageBoxIcon::kWarning;
  window::ShowMessageBox(request);
}

}  // namespace

PluginLibraries::~PluginLibraries() { FreeAll(); }

void PluginLibraries::LoadFolder(const std::string& folder, PlugRegistry& registry, WindowHandle owner) {
  for (const std::string& fileName : LibrariesIn(folder)) {
    const std::string path = folder + "/" + fileName;
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
      sys::Log("Plug-in %s could not be loaded: %s", fileName.c_str(), LoaderError());
      continue;
    }

    auto getVersion = reinterpret_cast<PluginGetVersionFn>(dlsym(module, "lvpGetVersion"));
    auto getNumPlugs = reinterpret_cast<PluginGetNumPlugsFn>(dlsym(module, "lvpGetNumPlugs"));
    auto getPlugDesc = reinterpret_cast<PluginGetPlugDescFn>(dlsym(module, "lvpGetPlugDesc"));
    if (getVersion == nullptr || getNumPlugs == nullptr || getPlugDesc == nullptr) {
      sys::Log("Plug-in %s lacks the plug-in exports; skipped", fileName.c_str());
      dlclose(module);
      continue;
    }

    const int version = getVersion();
    if (version != kPluginVersion) {
      sys::Log("Plug-in %s has version %d, not %d; skipped", fileName.c_str(), version, kPluginVersion);
      ReportWrongVersion(fileName, owner);
      dlclose(module);
      continue;
    }

    modules_.push_back(module);
    const int count = getNumPlugs();
    for (int i = 0; i < count; ++i) {
      PlugDesc* descriptor = getPlugDesc(i);
      if (descriptor == nullptr) {
        sys::Log("Plug-in %s gave no descriptor for index %d", fileName.c_str(), i);
        continue;
      }
      registry.RegisterPlugKind(descriptor, module);
    }
  }
}

void PluginLibraries::FreeAll() {
  for (ModuleHandle module : modules_) dlclose(module);
  modules_.clear();
}

std::string PluginFolder() { return sys::FolderOf(sys::ProgramPath()) + "/Plugins"; }

void LoadPlugins(PlugRegistry& registry, PluginLibraries& libraries, RegisterBuiltinKindsFn registerBuiltinKinds,
                 WindowHandle owner) {
  if (registerBuiltinKinds != nullptr) registerBuiltinKinds(registry);
  libraries.LoadFolder(PluginFolder(), registry, owner);
}

}  // namespace lv
