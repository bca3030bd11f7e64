#include "files/chunk_fields.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace lv {

bool ReadChunkField(ChunkStream& stream, void* value, int32_t width) {
  uint8_t scratch[8];
  if (width < 0 || width > int32_t(sizeof scratch) || stream.BytesLeft() < width) return false;
  if (!stream.ReadChunkData(scratch, width)) return false;
  std::memcpy(value, scratch, size_t(width));
  return true;
}

std::string ReadChunkText(ChunkStream& stream, int32_t maxLength) {
  const int32_t n = std::min(std::max(stream.BytesLeft(), 0), std::max(maxLength, 0));
  std::vector<char> bytes(static_cast<size_t>(n));
  if (n > 0 && !stream.ReadChunkData(bytes.data(), n)) return {};
  const auto nul = std::find(bytes.begin(), bytes.end(), '\0');
  return std::string(bytes.begin(), nul);
}

}  // namespace lv
