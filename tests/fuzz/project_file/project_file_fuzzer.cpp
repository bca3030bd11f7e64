// Loads arbitrary bytes as a project file. Beyond memory errors, a loaded
// performance that holds an index outside its tables is a fault.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/project_file.h"
#include "registry/plug_registry.h"
#include "state_plug.h"

namespace {

void Check(const lv::Performance& performance) {
  if (performance.workBuffers < 0 || performance.workBuffers > lv::kMaxWorkBuffers) std::abort();
  if (performance.displayAdapter != 0) std::abort();
  for (const lv::ListNode* node = performance.banks.Head(); node != nullptr; node = node->Next()) {
    for (const lv::NoteSlot& slot : static_cast<const lv::Bank*>(node)->slots) {
      if (slot.target < -1 || slot.target >= lv::kMaxWorkBuffers) std::abort();
      for (const lv::ParamBinding& b : slot.bindings.records) {
        if (b.source < lv::ParamBinding::None || b.source > lv::ParamBinding::AudioBand) std::abort();
        if (b.controller < -1 || b.controller > lv::ParamBinding::kLastPair) std::abort();
        if (b.lfo < 0 || b.lfo >= lv::kLfoCount) std::abort();
        if (b.source == lv::ParamBinding::AudioBand && b.controller > 5) std::abort();
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static lvtest::StatePlugKind kind(lvtest::kStateKindId, {lvtest::TaggedParam("PRMA", "a"),
                                                           lvtest::TaggedParam("PRMB", "b"),
                                                           lvtest::TaggedParam("PRMC", "c")});
  static lv::PlugRegistry registry;
  static const bool registered = (registry.RegisterPlugKind(&kind, nullptr), true);
  (void)registered;
  static const std::string path = "/tmp/lv_project_fuzz_" + std::to_string(getpid()) + ".LVP";

  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  lv::LfoArray lfos{};
  lv::ProjectFileContext context;
  context.registry = &registry;
  context.lfos = &lfos;
  lv::Performance performance;
  lv::LoadPerformance(performance, path.c_str(), context);
  Check(performance);
  for (const lv::Lfo& lfo : lfos)
    if (lfo.type < 0 || lfo.type >= lv::Lfo::kTypeCount) std::abort();
  std::remove(path.c_str());
  return 0;
}
