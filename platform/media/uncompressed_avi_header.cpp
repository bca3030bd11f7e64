#include "uncompressed_avi_header.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace media {
namespace {

// The stream headers sit at the start of the file, well inside this.
constexpr size_t kHeaderBytes = 64 * 1024;

uint32_t ReadU32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

void WriteU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// Offset of the first chunk named `id` (for "LIST", with list type `type`)
// between `begin` and `end`, or 0.
size_t FindChunk(const std::vector<uint8_t>& data, size_t begin, size_t end, const char* id, const char* type) {
  size_t at = begin;
  while (at + 8 <= end) {
    uint32_t size = ReadU32(&data[at + 4]);
    bool match = std::memcmp(&data[at], id, 4) == 0 &&
                 (!type || (at + 12 <= end && std::memcmp(&data[at + 8], type, 4) == 0));
    if (match) return at;
    at += 8 + size + (size & 1);
  }
  return 0;
}

size_t ChunkEnd(const std::vector<uint8_t>& data, size_t chunk, size_t limit) {
  size_t end = chunk + 8 + ReadU32(&data[chunk + 4]);
  return end < limit ? end : limit;
}

}  // namespace

bool MarkBottomUpFrames(const std::string& path, int stride) {
  FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return false;
  std::vector<uint8_t> data(kHeaderBytes);
  size_t length = std::fread(data.data(), 1, data.size(), file);
  bool done = false;
  if (length >= 12 && std::memcmp(&data[0], "RIFF", 4) == 0 && std::memcmp(&data[8], "AVI ", 4) == 0) {
    size_t headers = FindChunk(data, 12, length, "LIST", "hdrl");
    size_t streamList = headers ? FindChunk(data, headers + 12, ChunkEnd(data, headers, length), "LIST", "strl") : 0;
    size_t listEnd = streamList ? ChunkEnd(data, streamList, length) : 0;
    size_t format = streamList ? FindChunk(data, streamList + 12, listEnd, "strf", nullptr) : 0;
    if (format && format + 8 + 24 <= listEnd) {
      uint8_t* bitmap = &data[format + 8];
      int32_t height = static_cast<int32_t>(ReadU32(bitmap + 8));
      uint32_t rows = static_cast<uint32_t>(std::abs(height));
      WriteU32(bitmap + 8, rows);
      WriteU32(bitmap + 20, rows * static_cast<uint32_t>(stride));
      done = std::fseek(file, static_cast<long>(format + 8), SEEK_SET) == 0 &&
             std::fwrite(bitmap, 1, 24, file) == 24;
    }
  }
  if (std::fclose(file) != 0) done = false;
  return done;
}

}  // namespace media
