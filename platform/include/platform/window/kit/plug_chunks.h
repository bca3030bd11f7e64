#pragma once
// The saved state that plug-ins with a source input share: the option word
// ("FLAG"), the volume and pan bytes ("VOL ", "PAN ") where the plug-in has
// them, and the source name ("NAME"). A plug-in with more state reads and
// writes its own chunks through the extra hooks.
#include <cstdint>
#include <functional>

#include "lv/chunk_stream.h"
#include "lv/lorvane_interface.h"
#include "platform/window/kit/source_name.h"

namespace kit {

// Longest source name a saved "NAME" can give back, without its NUL; longer
// names are cut there.
inline constexpr int32_t kMaxSavedNameLength = 511;

struct PlugChunkFields {
  uint32_t* options = nullptr;
  uint8_t* volume = nullptr;  // null: the plug-in has no volume (no "VOL " chunk)
  uint8_t* pan = nullptr;     // null: no pan ("PAN ")
  SourceName* sourceName = nullptr;
};

// Called for every tag the shared loader does not know; the stream stands at
// the start of that chunk's payload.
using ExtraChunkLoader = std::function<void(uint32_t tag, lv::ChunkStream& stream)>;
// Writes the plug-in's own chunks; they go between the shared ones and "NAME".
// False when a write failed.
using ExtraChunkSaver = std::function<bool(lv::ChunkStream& stream)>;

// Reads chunks up to the end marker. A "NAME" is passed through the host's
// ResolveFilePath (when there is a host) so media that moved with the
// project is found; an empty one leaves the plug-in without a source. Chunks
// too short for their value are ignored. Always true: unknown and damaged
// chunks are skipped.
bool LoadFlagNameVolPan(lv::ChunkStream* stream, lv::LorvaneInterface* host, const PlugChunkFields& fields,
                        const ExtraChunkLoader& extra = {});

// Writes "FLAG", "VOL " and "PAN " (where present), the extra chunks, "NAME"
// (an empty text when no source is chosen) and the end marker. False when the
// stream refused a write.
bool SaveFlagNameVolPan(lv::ChunkStream* stream, const PlugChunkFields& fields, const ExtraChunkSaver& extra = {});

}  // namespace kit
