#pragma once
// The "LVPatchClip" record a dragged patch travels in: a 'CLIP' chunk of 26
// bytes (priority, target, class id), then the plug-in's own saved chunks
// and the slot's modulation records, as a project file's note carries them.
#include <cstdint>
#include <memory>
#include <string>

#include "lv/class_id.h"
#include "lv/memory_chunk_stream.h"
#include "lv/plug.h"
#include "performance/bank.h"

namespace ui {

class PluginKinds;

inline constexpr char kPatchClipFormat[] = "LVPatchClip";
inline constexpr int kPatchClipHeaderSize = 26;

// The record of the patch on the bank's note; empty when it holds none.
std::string EncodePatchClip(const lv::Bank& bank, uint8_t note);

// A clip read back: its patch (loaded, host set) and the stream, left where
// the modulation records start.
struct LoadedPatchClip {
  std::unique_ptr<lv::Plug> patch;
  uint8_t priority = 0;
  uint8_t target = 0xFF;
  lv::MemoryChunkStream stream;  // reads `clip`, which must outlive it
};

// Null patch when the clip is shorter than its header, does not start with
// the 'CLIP' chunk, names no kind that can be created, or its state does not
// load. Every read stays inside `clip`, which may come from another program.
std::unique_ptr<LoadedPatchClip> LoadPatchClip(const std::string& clip, const PluginKinds& kinds);

}  // namespace ui
