#include "platform/window/kit/plug_chunks.h"

#include <algorithm>
#include <cstring>

namespace kit {
namespace {

constexpr uint32_t kFlag = lv::ChunkTag("FLAG");
constexpr uint32_t kVolume = lv::ChunkTag("VOL ");
constexpr uint32_t kPan = lv::ChunkTag("PAN ");
constexpr uint32_t kName = lv::ChunkTag("NAME");

// The buffer the host's path resolution writes into.
constexpr int32_t kNameBufferSize = kMaxSavedNameLength + 1;

void LoadName(lv::ChunkStream& stream, lv::LorvaneInterface* host, SourceName& sourceName) {
  // Bounded and always terminated, whatever the chunk holds: no NUL, none at
  // all, or more than fits.
  char buffer[kNameBufferSize] = {};
  const int32_t n = std::clamp(stream.BytesLeft(), 0, kMaxSavedNameLength);
  if (n > 0 && !stream.ReadChunkData(buffer, n)) return;
  if (buffer[0] == '\0') {
    sourceName.Set(nullptr);
    return;
  }
  if (host != nullptr) host->ResolveFilePath(buffer, kNameBufferSize);
  buffer[kNameBufferSize - 1] = '\0';
  sourceName.Set(buffer);
}

}  // namespace

bool LoadFlagNameVolPan(lv::ChunkStream* stream, lv::LorvaneInterface* host, const PlugChunkFields& fields,
                        const ExtraChunkLoader& extra) {
  if (stream == nullptr) return true;
  while (const uint32_t tag = stream->NextChunk()) {
    if (tag == kFlag && fields.options != nullptr) {
      if (stream->BytesLeft() >= 4) stream->ReadUInt32(fields.options);
    } else if (tag == kVolume && fields.volume != nullptr) {
      if (stream->BytesLeft() >= 1) stream->ReadUInt8(fields.volume);
    } else if (tag == kPan && fields.pan != nullptr) {
      if (stream->BytesLeft() >= 1) stream->ReadUInt8(fields.pan);
    } else if (tag == kName && fields.sourceName != nullptr) {
      LoadName(*stream, host, *fields.sourceName);
    } else if (extra) {
      extra(tag, *stream);
    }
  }
  return true;
}

bool SaveFlagNameVolPan(lv::ChunkStream* stream, const PlugChunkFields& fields, const ExtraChunkSaver& extra) {
  if (stream == nullptr) return false;
  bool ok = true;
  if (fields.options != nullptr) ok = stream->WriteUInt32Chunk(kFlag, fields.options) && ok;
  if (fields.volume != nullptr) ok = stream->WriteUInt8Chunk(kVolume, fields.volume) && ok;
  if (fields.pan != nullptr) ok = stream->WriteUInt8Chunk(kPan, fields.pan) && ok;
  if (extra) ok = extra(*stream) && ok;
  if (fields.sourceName != nullptr) {
    // A plug-in without a source saves an empty name, which loads back as none.
    const char* name = fields.sourceName->Get() != nullptr ? fields.sourceName->Get() : "";
    ok = stream->WriteChunk(kName, name, int32_t(std::strlen(name) + 1)) && ok;
  }
  return stream->WriteEnd() && ok;
}

}  // namespace kit
