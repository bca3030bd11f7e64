#include "lv/file_chunk_stream.h"

#include <limits>

namespace lv {

bool FileChunkStream::Seek(int32_t offset) {
  if (offset < 0) return false;
  return std::fseek(file_, offset, SEEK_SET) == 0;
}

int32_t FileChunkStream::Tell() {
  long at = std::ftell(file_);
  return at < 0 || at > std::numeric_limits<int32_t>::max() ? -1 : int32_t(at);
}

bool FileChunkStream::Read(void* dest, int32_t n) {
  if (n < 0) return false;
  return std::fread(dest, 1, size_t(n), file_) == size_t(n);
}

bool FileChunkStream::WriteRaw(const void* data, int32_t n) {
  if (n < 0) return false;
  return std::fwrite(data, 1, size_t(n), file_) == size_t(n);
}

int32_t FileChunkStream::DataEnd() {
  long at = std::ftell(file_);
  if (at < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
  long end = std::ftell(file_);
  std::fseek(file_, at, SEEK_SET);
  if (end < 0) return 0;
  return end > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int32_t(end);
}

}  // namespace lv
