// Prints the display settings of a project file as the program saved it:
// "<width> <height> <work buffers>", for the end-to-end tests.
//
// Usage: read_test_project <folder> <name>
#include <cstdio>
#include <string>

#include "files/project_file.h"
#include "performance/performance.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: read_test_project <folder> <name>\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string path = folder + "/" + argv[2];
  lv::PlugRegistry registry;
  lv::PluginLibraries libraries;
  libraries.LoadFolder(folder + "/Plugins", registry);
  lv::Performance performance;
  lv::ProjectFileContext context;
  context.registry = &registry;
  if (!lv::LoadPerformance(performance, path.c_str(), context)) {
    std::fprintf(stderr, "could not read %s\n", path.c_str());
    return 1;
  }
  std::printf("%d %d %d\n", performance.width, performance.height, performance.workBuffers);
  return 0;
}
