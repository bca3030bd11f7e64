// Writes the end-to-end tests' project with the program's own writer: one
// bank whose note plays the first plug-in kind of the libraries in
// <folder>/Plugins, saved as <folder>/<name>, and puts it first in the
// folder's recent-files list so the program opens it from its File menu.
// With a kind name the note plays that kind instead, with a source name its
// source; with "test-pattern" the project also starts the test-pattern
// capture device (320 x 240 YUY2), whose source is "Cap0-Test Pattern:".
//
// The output size is the default one unless given with --size.
//
// Usage: make_test_project <folder> <name> <note> [<kind> [<source> [test-pattern]]] [--size=<w>x<h>]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/project_file.h"
#include "files/recent_files.h"
#include "files/show_objects.h"
#include "lv/chunk_stream.h"
#include "performance/performance.h"
#include "platform/capture/video_device.h"
#include "registry/plug_registry.h"
#include "registry/plugin_libraries.h"

namespace {

// One "CAPT" section: the test-pattern device running at 320 x 240 YUY2.
class TestPatternShow final : public lv::ShowObjects {
 public:
  void Release() override {}
  bool SaveCaptures(const SectionSink& section) override {
    return section([](lv::ChunkStream& stream) {
      const char* device = capture::kTestPatternName;
      const uint32_t width = 320, height = 240, fourcc = capture::kYuy2, flip = 0;
      return stream.WriteChunk(lv::ChunkTag("DEVI"), device, int32_t(std::strlen(device) + 1)) &&
             stream.WriteUInt32Chunk(lv::ChunkTag("XRES"), &width) &&
             stream.WriteUInt32Chunk(lv::ChunkTag("YRES"), &height) &&
             stream.WriteUInt32Chunk(lv::ChunkTag("FRCC"), &fourcc) &&
             stream.WriteUInt32Chunk(lv::ChunkTag("FLIP"), &flip) && stream.WriteEnd();
    });
  }
  bool SaveSamplers(const SectionSink&) override { return true; }
  void LoadCapture(lv::ChunkStream&) override {}
  void LoadSampler(lv::ChunkStream&) override {}
};

lv::PlugDesc* FindKind(lv::PlugRegistry& registry, const char* name) {
  for (int32_t i = 0; i < registry.PlugKindCount(); ++i) {
    lv::PlugDesc* kind = registry.GetPlugKind(i);
    if (name == nullptr || std::strcmp(kind->GetName(), name) == 0) return kind;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  int width = 0;
  int height = 0;
  if (argc > 4 && std::sscanf(argv[argc - 1], "--size=%dx%d", &width, &height) == 2) --argc;
  if (argc < 4 || argc > 7) {
    std::fprintf(stderr,
                 "usage: make_test_project <folder> <name> <note> [<kind> [<source> [test-pattern]]] "
                 "[--size=<w>x<h>]\n");
    return 2;
  }
  const std::string folder = argv[1];
  const std::string path = folder + "/" + argv[2];
  const int note = std::atoi(argv[3]) & 0x7F;
  const char* kindName = argc > 4 ? argv[4] : nullptr;
  const char* sourceName = argc > 5 ? argv[5] : nullptr;
  const bool testPattern = argc > 6 && std::strcmp(argv[6], "test-pattern") == 0;

  lv::PlugRegistry registry;
  lv::PluginLibraries libraries;
  libraries.LoadFolder(folder + "/Plugins", registry);
  lv::PlugDesc* kind = FindKind(registry, kindName);
  if (kind == nullptr) {
    std::fprintf(stderr, "no plug-in kind %s in %s/Plugins\n", kindName != nullptr ? kindName : "", folder.c_str());
    return 1;
  }
  bool saved = false;
  {
    lv::Performance performance;
    lv::Bank* bank = performance.CreateBank(0);
    performance.SelectBank(0);
    if (width > 0 && height > 0) {
      performance.width = width;
      performance.height = height;
    }
    bank->slots[note].patch.reset(registry.CreatePlug(kind));
    if (sourceName != nullptr) bank->slots[note].patch->SetInputName(0, sourceName);
    bank->slots[note].bindings.Attach(bank->slots[note].patch.get());
    performance.name.Set(path.c_str());
    TestPatternShow show;
    lv::ProjectFileContext context;
    context.registry = &registry;
    if (testPattern) context.show = &show;
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
