#pragma once
// The body of a project file's "CAPT" section: one per running device, with
// its name, chosen format, flip and input. The section frame around it
// belongs to the project file.
#include "capture/capture_manager.h"
#include "lv/chunk_stream.h"

namespace builtin {

// True when the device has a section to write: running, with a chosen format.
bool HasCaptureSection(const CaptureDevice& device);
// DEVI, XRES, YRES, FRCC, FLIP, INPT (only with an input chosen), end marker.
bool WriteCaptureSection(const CaptureDevice& device, lv::ChunkStream& stream);
// Applies a section to the device it names and starts it; a section naming
// no present device or an unknown format changes nothing.
void ReadCaptureSection(CaptureManager& manager, lv::ChunkStream& stream);

}  // namespace builtin
