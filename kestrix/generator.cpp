#include "generator.h"

#include "lv/chunk_stream.h"

namespace kestrix {
namespace {

constexpr uint32_t kFlagTag = lv::ChunkTag("FLAG");

}  // namespace

bool Generator::Save(lv::ChunkStream* stream) {
  return stream->WriteUInt32Chunk(kFlagTag, &options_) && stream->WriteEnd();
}

bool Generator::Load(lv::ChunkStream* stream) {
  for (uint32_t tag = stream->NextChunk(); tag != 0; tag = stream->NextChunk()) {
    uint32_t flags = 0;
    if (tag == kFlagTag && stream->ReadUInt32(&flags)) options_ = flags;
  }
  return true;
}

}  // namespace kestrix
