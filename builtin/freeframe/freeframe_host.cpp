#include "freeframe/freeframe_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "files/program_folder.h"

namespace ff {
namespace {

bool Accepts(PlugMainFn entry) {
  const auto* info = ResultPointer<PlugInfo>(entry(kGetInfo, 0, 0));
  if (info == nullptr || info->apiMajorVersion != 1) return false;
  entry(kGetExtendedInfo, 0, 0);
  if (ResultWord(entry(kGetPluginCaps, kCap32BitVideo, 0)) != 1) return false;
  entry(kGetPluginCaps, kCapProcessFrameCopy, 0);
  entry(kGetPluginCaps, kCapMinimumInputFrames, 0);
  const Word maximumInputs = entry(kGetPluginCaps, kCapMaximumInputFrames, 0);
  if (!Failed(maximumInputs) && ResultWord(maximumInputs) > 1) return false;
  entry(kGetPluginCaps, kCapCopyOrInPlace, 0);
  return ResultWord(entry(kInitialise, 0, 0)) == kSuccess;
}

std::vector<std::string> LibrariesIn(const std::string& folder) {
  std::vector<std::string> paths;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(folder, error);
  if (error) return paths;
  for (std::filesystem::directory_iterator it(absolute, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".so" && it->is_regular_file(error)) paths.push_back(it->path().string());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace

FreeFrameHost::~FreeFrameHost() { UnloadPlugins(); }

void FreeFrameHost::LoadPlugins(const std::string& folder, lv::PlugRegistry& registry) {
  for (const std::string& path : LibrariesIn(folder)) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) continue;
    auto entry = reinterpret_cast<PlugMainFn>(dlsym(module, kEntryName));
    if (entry == nullptr) {
      // Not a FreeFrame library: nothing of it is used.
      dlclose(module);
      continue;
    }
    if (!QueryPlugin(entry, module, registry)) dlclose(module);
  }
}

bool FreeFrameHost::QueryPlugin(PlugMainFn entry, void* module, lv::PlugRegistry& registry) {
  if (entry == nullptr || !Accepts(entry)) return false;
  Module record;
  record.handle = module;
  record.entry = entry;
  record.descriptor = std::make_unique<FreeFrameDesc>(entry);
  record.registry = &registry;
  registry.RegisterPlugKind(record.descriptor.get(), module);
  modules_.push_back(std::move(record));
  return true;
}

void FreeFrameHost::UnloadPlugins() {
  for (Module& module : modules_) {
    module.registry->UnregisterPlugKind(module.descriptor.get());
    module.descriptor.reset();
    module.entry(kDeInitialise, 0, 0);
    if (module.handle != nullptr) dlclose(module.handle);
  }
  modules_.clear();
}

FreeFrameHost& TheFreeFrameHost() {
  static FreeFrameHost host;
  return host;
}

std::string FreeFrameFolder(const std::string& settingsPath) {
  const std::filesystem::path path(settingsPath.empty() ? std::string("./FreeFrame") : settingsPath);
  if (path.is_absolute()) return path.lexically_normal().string();
  const std::string programFolder = lv::ProgramFolder();
  if (programFolder.empty()) return path.string();
  return (std::filesystem::path(programFolder) / path).lexically_normal().string();
}

void ScanFreeFrameFolder(const std::string& settingsPath, lv::PlugRegistry& registry) {
  TheFreeFrameHost().LoadPlugins(FreeFrameFolder(settingsPath), registry);
}

void UnloadFreeFrame() { TheFreeFrameHost().UnloadPlugins(); }

}  // namespace ff
