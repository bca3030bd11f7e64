#pragma once
// The modulation record of a note's patch: per parameter its tag, current
// value and binding, as a chunk list ended by the end marker. Project files
// and the drag-and-drop patch record both carry it after the plug-in's own
// chunks.
#include <cstdint>

#include "lv/chunk_stream.h"
#include "performance/bank.h"

namespace lv {

// Writes the list for the slot's patch from the current position. False when
// a write failed or the note is out of range.
bool WriteParamBindings(ChunkStream& stream, const Bank& bank, uint8_t note);

// Reads the list at the current position into the slot, whose bindings are
// already attached to its patch. Values go to the parameter whose tag they
// carry, so a plug-in may reorder its parameters; values of unknown tags are
// ignored, values outside the parameter's range are limited to it, and a
// binding with a source or index outside its table becomes no binding.
void ReadParamBindings(ChunkStream& stream, Bank& bank, uint8_t note);

}  // namespace lv
