// Writes the end-to-end tests' project with the program's own writer: one
// bank whose note plays the first plug-in kind of the libraries in
// <folder>/Plugins, saved as <folder>/<name>, and puts it first in the
// folder's recent-files list so the program opens it from its File menu.
// The output size is the default one unless given.
//
// Usage: make_test_project <folder> <name> <note> [<width> <height>]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/project_file.h"
#include "files/recent_files.h"
#include "performance/performance.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"

int main(int argc, char** argv) {
  if (argc != 4 && argc != 6) {
    std::fprintf(stderr, "usage: make_test_project <folder> <name> <note> [<width> <height>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string path = folder + "/" + argv[2];
  const int note = std::atoi(argv[3]) & 0x7F;

  lv::PlugRegistry registry;
  lv::PluginLibraries libraries;
  libraries.LoadFolder(folder + "/Plugins", registry);
  lv::PlugDesc* kind = registry.GetPlugKind(0);
  if (kind == nullptr) {
    std::fprintf(stderr, "no plug-in kind in %s/Plugins\n", folder.c_str());
    return 1;
  }
  bool saved = false;
  {
    lv::Performance performance;
    lv::Bank* bank = performance.CreateBank(0);
    performance.SelectBank(0);
    if (argc == 6) {
      performance.width = std::atoi(argv[4]);
      performance.height = std::atoi(argv[5]);
    }
    bank->slots[note].patch.reset(registry.CreatePlug(kind));
    bank->slots[note].bindings.Attach(bank->slots[note].patch.get());
    performance.name.Set(path.c_str());
    lv::ProjectFileContext context;
    context.registry = &registry;
    saved = lv::SavePerformance(performance, false, context);
  }
  if (!saved) {
    std::fprintf(stderr, "could not write %s\n", path.c_str());
    return 1;
  }
  lv::RecentFiles recent;
  recent.folder = folder;
  recent.Add(path.c_str());
  return recent.Write() ? 0 : 1;
}
