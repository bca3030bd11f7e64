#include "lv/memory_chunk_stream.h"

#include <cstring>
#include <limits>

namespace lv {

MemoryChunkStream::~MemoryChunkStream() { FreeOwned(); }

void MemoryChunkStream::FreeOwned() {
  if (owns_) delete[] buffer_;
  buffer_ = nullptr;
  owns_ = false;
}

void MemoryChunkStream::Attach(const void* buffer, int32_t length) {
  FreeOwned();
  // Attached memory is only ever read: the first write copies it (WriteRaw).
  buffer_ = static_cast<uint8_t*>(const_cast<void*>(buffer));
  length_ = buffer != nullptr && length > 0 ? length : 0;
  position_ = 0;
  Reset();
}

bool MemoryChunkStream::Seek(int32_t offset) {
  if (offset < 0) return false;
  if (offset > length_) {
    position_ = length_;
    return false;
  }
  position_ = offset;
  return true;
}

bool MemoryChunkStream::Read(void* dest, int32_t n) {
  if (n < 0) return false;
  int32_t available = length_ - position_;
  int32_t copied = n < available ? n : available;
  if (copied > 0) std::memcpy(dest, buffer_ + position_, size_t(copied));
  position_ += copied;
  return copied == n;
}

bool MemoryChunkStream::WriteRaw(const void* data, int32_t n) {
  if (n < 0) return false;
  if (int64_t(position_) + n > std::numeric_limits<int32_t>::max()) return false;
  int32_t newLength = length_;
  while (position_ + n > newLength) newLength = newLength == 0 ? 1024 : newLength * 2;
  if (newLength != length_ || !owns_) {
    auto* grown = new uint8_t[size_t(newLength)]();
    if (length_ > 0) std::memcpy(grown, buffer_, size_t(length_));
    FreeOwned();
    buffer_ = grown;
    length_ = newLength;
    owns_ = true;
  }
  if (n > 0) std::memcpy(buffer_ + position_, data, size_t(n));
  position_ += n;
  return true;
}

}  // namespace lv
