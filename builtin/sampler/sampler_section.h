#pragma once
// The body of a project file's "SAMP" section: one per sampler, with its
// name, frame size and format, capacity and interval. The section frame
// around it belongs to the project file.
#include <cstdint>

#include "lv/chunk_stream.h"
#include "sampler/sampler.h"

namespace builtin {

// The numbers a project file stores for the frame formats a sampler can have
// (0 stands for the back buffer's format); 0 for a format it cannot store.
uint32_t StoredFormatCode(gfx::Format format);
// The format of a stored number; false for a number no sampler can have.
bool FormatFromStoredCode(uint32_t code, gfx::Format* format);

// NAME, XRES, YRES, DFMT, FRMS, FRIN, end marker.
bool WriteSamplerSection(Sampler& sampler, lv::ChunkStream& stream);
// Creates the sampler a section describes; a section missing a value or with
// an unusable one creates nothing. Silent either way.
Sampler* ReadSamplerSection(SamplerBank& bank, lv::ChunkStream& stream);

}  // namespace builtin
