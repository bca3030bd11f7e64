// Writes seed files for the project, settings and recent-files fuzz targets
// with the program's own writers: files_fuzz_corpus <tests/fuzz folder>.
#include <cstdio>
#include <filesystem>
#include <string>

#include "files/project_file.h"
#include "files/recent_files.h"
#include "files/settings_file.h"
#include "registry/plug_registry.h"
#include "state_plug.h"

namespace {

using lvtest::StatePlug;
using lvtest::StatePlugKind;

// The banks and notes of a project without the long run of LFO sections: a
// small seed that reaches the note reader quickly.
bool WriteNotesOnly(const std::string& from, const std::string& to) {
  std::FILE* in = std::fopen(from.c_str(), "rb");
  if (in == nullptr) return false;
  std::string bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) bytes.append(buffer, n);
  std::fclose(in);
  const size_t banks = bytes.find("BNKS");
  std::FILE* out = std::fopen(to.c_str(), "wb");
  if (banks == std::string::npos || out == nullptr) return false;
  const bool written = std::fwrite(bytes.data() + banks, 1, bytes.size() - banks, out) == bytes.size() - banks;
  return std::fclose(out) == 0 && written;
}

bool WriteProjects(const std::string& folder, StatePlugKind& kind) {
  lv::PlugRegistry registry;
  registry.RegisterPlugKind(&kind, nullptr);
  lv::LfoArray lfos{};
  lv::SetDefaultLfos(lfos);
  lv::ProjectFileContext context;
  context.registry = &registry;
  context.lfos = &lfos;

  lv::Performance empty;
  empty.name.Assign((folder + "/defaults.LVP").c_str());
  bool ok = lv::SavePerformance(empty, false, context);

  lv::Performance show;
  show.SetMidiDevice("Keys");
  show.workBuffers = 2;
  show.CreateBank(0)->SetName("First");
  show.CreateBank(4);
  for (uint8_t note : {36, 37}) {
    lv::NoteSlot& slot = show.FindBank(0)->slots[note];
    auto* plug = static_cast<StatePlug*>(registry.CreatePlug(&kind));
    plug->state = note;
    slot.patch.reset(plug);
    slot.bindings.Attach(plug);
    slot.priority = -3;
    slot.target = note == 36 ? 1 : -1;
    slot.bindings.records[0].source = lv::ParamBinding::Controller;
    slot.bindings.records[0].controller = 74;
    slot.bindings.records[1].source = lv::ParamBinding::LfoOutput;
    slot.bindings.records[1].lfo = 12;
    slot.bindings.records[2].source = lv::ParamBinding::AudioBand;
    slot.bindings.records[2].controller = 2;
  }
  show.name.Assign((folder + "/patches.LVP").c_str());
  ok = lv::SavePerformance(show, false, context) && ok;
  return ok && WriteNotesOnly(folder + "/patches.LVP", folder + "/notes_only.LVP");
}

bool WriteSettings(const std::string& folder) {
  lv::Settings defaults;
  defaults.folder = folder;
  defaults.fileName = "defaults.cfg";
  lv::Settings changed = defaults;
  changed.fileName = "device.cfg";
  changed.SetMidiDevice("Keys");
  changed.width = 1024;
  changed.workBuffers = 2;
  return defaults.Save() && changed.Save();
}

bool WriteRecentFiles(const std::string& folder) {
  lv::RecentFiles list;
  list.folder = folder;
  list.fileName = "two.mru";
  // Paths that open on any machine the fuzzer runs on.
  list.Add("/tmp");
  list.Add("/");
  return list.Write();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <tests/fuzz folder>\n", argv[0]);
    return 2;
  }
  const std::string top = argv[1];
  for (const char* name : {"project_file", "settings_file", "recent_files"})
    std::filesystem::create_directories(top + "/" + name + "/corpus");
  StatePlugKind kind(lvtest::kStateKindId, {lvtest::TaggedParam("PRMA", "a"), lvtest::TaggedParam("PRMB", "b"),
                                            lvtest::TaggedParam("PRMC", "c")});
  const bool ok = WriteProjects(top + "/project_file/corpus", kind) && WriteSettings(top + "/settings_file/corpus") &&
                  WriteRecentFiles(top + "/recent_files/corpus");
  if (!ok) std::fprintf(stderr, "could not write every seed file\n");
  return ok ? 0 : 1;
}
