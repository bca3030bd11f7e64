#include "files/param_bindings_record.h"

#include <algorithm>

#include "files/chunk_fields.h"
#include "modulation/audio_input.h"

namespace lv {
namespace {

constexpr uint32_t kParamTag = ChunkTag("PMID");
constexpr uint32_t kParamValue = ChunkTag("PMVL");
constexpr uint32_t kSource = ChunkTag("PMOD");
constexpr uint32_t kNumber = ChunkTag("CNUM");
constexpr uint32_t kLfoIndex = ChunkTag("LFOI");

bool ControllerInRange(int32_t c) { return c >= 0 && c <= ParamBinding::kLastPair; }
bool BandInRange(int32_t b) { return b >= 0 && b < AudioInput::kBandCount; }
bool LfoInRange(int32_t l) { return l >= 0 && l < kLfoCount; }

// A binding the file made must index only what its tables hold.
void CheckBinding(ParamBinding& binding) {
  bool usable = true;
  switch (binding.source) {
    case ParamBinding::None: break;
    case ParamBinding::Controller: usable = ControllerInRange(binding.controller); break;
    case ParamBinding::LfoOutput: usable = LfoInRange(binding.lfo); break;
    case ParamBinding::AudioBand: usable = BandInRange(binding.controller); break;
    default: usable = false; break;
  }
  if (!usable) binding.source = ParamBinding::None;
  if (binding.controller != -1 && !ControllerInRange(binding.controller)) binding.controller = -1;
  if (!LfoInRange(binding.lfo)) binding.lfo = 0;
}

}  // namespace

bool WriteParamBindings(ChunkStream& stream, const Bank& bank, uint8_t note) {
  if (note >= Bank::kNoteCount) return false;
  const NoteSlot& slot = bank.slots[note];
  bool written = stream.Reset();
  Plug* patch = slot.patch.get();
  for (int32_t i = 0; written && i < slot.bindings.Count(); ++i) {
    const ParamBinding& binding = slot.bindings.records[size_t(i)];
    const uint32_t tag = binding.info != nullptr ? binding.info->tag : 0;
    const int32_t value = patch != nullptr ? patch->GetParam(i) : 0;
    written = stream.WriteUInt32Chunk(kParamTag, &tag) && stream.WriteInt32Chunk(kParamValue, &value) &&
              stream.WriteInt32Chunk(kSource, &binding.source) &&
              stream.WriteInt32Chunk(kNumber, &binding.controller) &&
              stream.WriteInt32Chunk(kLfoIndex, &binding.lfo);
  }
  return written && stream.WriteEnd();
}

void ReadParamBindings(ChunkStream& stream, Bank& bank, uint8_t note) {
  if (note >= Bank::kNoteCount) return;
  NoteSlot& slot = bank.slots[note];
  stream.Reset();
  ParamBinding* binding = nullptr;
  int32_t index = -1;
  while (uint32_t tag = stream.NextChunk()) {
    if (tag == kParamTag) {
      if (binding != nullptr) CheckBinding(*binding);
      binding = nullptr;
      uint32_t paramTag = 0;
      if (!ReadChunkValue(stream, paramTag)) continue;
      for (int32_t i = 0; i < slot.bindings.Count(); ++i) {
        const ParamInfo* info = slot.bindings.records[size_t(i)].info;
        if (info != nullptr && info->tag == paramTag) {
          binding = &slot.bindings.records[size_t(i)];
          index = i;
          break;
        }
      }
      continue;
    }
    if (binding == nullptr) continue;
    int32_t value = 0;
    if (tag != kParamValue && tag != kSource && tag != kNumber && tag != kLfoIndex) continue;
    if (!ReadChunkValue(stream, value)) continue;
    if (tag == kParamValue) {
      // Plug-ins may index tables with a value, so it stays within the
      // range the knob could give.
      const ParamInfo* info = binding->info;
      value = std::clamp(value, std::min(info->min, info->max), std::max(info->min, info->max));
      if (slot.patch) slot.patch->SetParam(index, value);
    } else if (tag == kSource) {
      binding->source = value;
    } else if (tag == kNumber) {
      binding->controller = value;
    } else {
      binding->lfo = value;
    }
  }
  if (binding != nullptr) CheckBinding(*binding);
}

}  // namespace lv
