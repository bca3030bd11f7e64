#pragma once
// Reading the payload of the chunk a reader stands in, never past its end.
#include <cstdint>
#include <string>

#include "lv/chunk_stream.h"

namespace lv {

// Reads a field of `width` bytes from the current chunk. A chunk that holds
// fewer bytes leaves `value` as it was and answers false.
bool ReadChunkField(ChunkStream& stream, void* value, int32_t width);

template <class T>
bool ReadChunkValue(ChunkStream& stream, T& value) {
  return ReadChunkField(stream, &value, int32_t(sizeof(T)));
}

// The rest of the current chunk as text: cut at its first NUL, at the
// chunk's end, and after `maxLength` characters.
std::string ReadChunkText(ChunkStream& stream, int32_t maxLength = INT32_MAX);

}  // namespace lv
