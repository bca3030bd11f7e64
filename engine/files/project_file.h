#pragma once
// Project files (".LVP"): a whole performance as a run of sections: "PERF",
// 100 "LFOI", "BNKS", then "NOTE" and "NEXT" for every note with a patch.
// "CAPT" and "SAMP" sections for the capture devices in use and the
// samplers come after "PERF". Readers skip sections and chunks they do not
// know. Both calls run on the user-interface thread.
#include <cstdint>
#include <functional>
#include <string>

#include "files/show_objects.h"
#include "modulation/lfo.h"
#include "performance/performance.h"
#include "platform/sys/critical_section.h"

namespace lv {

class FileProgress;
class PlugRegistry;
class ProjectFileDialogs;

// What saving and loading need besides the performance.
struct ProjectFileContext {
  PlugRegistry* registry = nullptr;       // kinds of the saved patches (loading)
  LfoArray* lfos = &LfoTable;             // the LFO table saved and loaded
  // Loading: held while the file's LFOs go into `lfos`, the lock the render
  // thread advances them under; null when no other thread uses them.
  sys::CriticalSection* lfoLock = nullptr;
  int32_t adapterCount = 1;               // display adapters present (loading)
  ProjectFileDialogs* dialogs = nullptr;  // null: no dialog, so a missing name cancels
  FileProgress* progress = nullptr;       // null: no progress window
  ShowObjects* show = nullptr;            // null: no capture devices, no samplers
  std::string* failure = nullptr;         // loading: why a file that opened was refused
  // Saving: makes the knob turns still on their way to the render thread, so
  // the file holds what the knobs show; null when every turn is made at once.
  std::function<void()> makeWaitingKnobWrites;
};

// Highest work-buffer count and render target a project may ask for.
inline constexpr int32_t kMaxWorkBuffers = 4;

// Writes the performance to its file, asking for a name when `saveAs` is set
// or it has none. The file is replaced only once it was written whole; false
// (the old file kept, "modified" left set, the name unchanged) when the user
// cancels or anything could not be written.
bool SavePerformance(Performance& performance, bool saveAs, const ProjectFileContext& context);

// Reads a project into `performance`, which the caller made fresh from the
// settings; asks for the file when `fileName` is null. False, with nothing
// torn down, when the user cancels, the file does not open, or it is not a
// whole run of sections (a file cut short: the reason goes to
// `context.failure`); otherwise true, also when parts of the file could not
// be used. The file's LFOs reach `context.lfos` only after the whole file
// was read, in one step under `context.lfoLock`.
bool LoadPerformance(Performance& performance, const char* fileName, const ProjectFileContext& context);

}  // namespace lv
