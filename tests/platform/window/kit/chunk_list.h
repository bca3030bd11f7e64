#pragma once
// Chunk lists written and read back in memory, for load/save tests.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "lv/memory_chunk_stream.h"

// The bytes a stream wrote (up to its position).
inline std::vector<uint8_t> WrittenBytes(const lv::MemoryChunkStream& stream) {
  lv::MemoryChunkStream& s = const_cast<lv::MemoryChunkStream&>(stream);
  return {stream.Buffer(), stream.Buffer() + s.Tell()};
}

// A chunk list of (four-character tag, payload) pairs and its end marker.
inline std::vector<uint8_t> ChunkList(const std::vector<std::pair<std::string, std::string>>& chunks) {
  lv::MemoryChunkStream stream;
  for (const auto& [tag, payload] : chunks) {
    const uint32_t t = uint32_t(uint8_t(tag[0])) << 24 | uint32_t(uint8_t(tag[1])) << 16 |
                       uint32_t(uint8_t(tag[2])) << 8 | uint32_t(uint8_t(tag[3]));
    stream.WriteChunk(t, payload.data(), int32_t(payload.size()));
  }
  stream.WriteEnd();
  return WrittenBytes(stream);
}

// The tags and payloads of a chunk list, in order.
inline std::vector<std::pair<std::string, std::string>> ReadChunkList(const std::vector<uint8_t>& bytes) {
  lv::MemoryChunkStream stream;
  stream.Attach(bytes.data(), int32_t(bytes.size()));
  std::vector<std::pair<std::string, std::string>> chunks;
  while (const uint32_t tag = stream.NextChunk()) {
    std::string name{char(tag >> 24), char(tag >> 16), char(tag >> 8), char(tag)};
    std::string payload(size_t(stream.BytesLeft()), '\0');
    stream.ReadChunkData(payload.data(), int32_t(payload.size()));
    chunks.emplace_back(std::move(name), std::move(payload));
  }
  return chunks;
}

inline std::string U32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
