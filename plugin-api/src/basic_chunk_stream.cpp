#include "lv/basic_chunk_stream.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace lv {

// Values are stored in the host's byte order, which must be the files'.
static_assert(std::endian::native == std::endian::little, "chunk files are little-endian");

namespace {
constexpr int32_t kHeaderSize = 8;
}

bool BasicChunkStream::Reset() {
  tag_ = 0;
  size_ = 0;
  start_ = Tell();
  writing_ = false;
  outerWrites_.clear();
  return true;
}

bool BasicChunkStream::BeginChunk(uint32_t tag) {
  if (writing_) outerWrites_.push_back({tag_, start_, size_, limit_});
  start_ = Tell();
  tag_ = tag;
  size_ = 0;
  writing_ = true;
  const uint32_t zero = 0;
  return WriteUInt32(&tag) && WriteUInt32(&zero);
}

bool BasicChunkStream::EndChunk() {
  if (!writing_) return false;
  int32_t end = Tell();
  uint32_t size = uint32_t(end - start_);
  bool written = Seek(start_ + 4) && WriteUInt32(&size);
  Seek(end);
  if (!outerWrites_.empty()) {
    const Frame& outer = outerWrites_.back();
    tag_ = outer.tag;
    start_ = outer.start;
    size_ = outer.size;
    outerWrites_.pop_back();
  } else {
    start_ = end;
    size_ = 0;
    tag_ = 0;
    writing_ = false;
  }
  return written;
}

bool BasicChunkStream::WriteEnd() {
  const uint8_t marker[kHeaderSize] = {};
  return WriteRaw(marker, kHeaderSize);
}

bool BasicChunkStream::WriteChar(const char* value) { return WriteRaw(value, 1); }
bool BasicChunkStream::WriteBool(const bool* value) {
  const uint8_t byte = *value ? 1 : 0;
  return WriteRaw(&byte, 1);
}
bool BasicChunkStream::WriteInt16(const int16_t* value) { return WriteRaw(value, 2); }
bool BasicChunkStream::WriteInt32(const int32_t* value) { return WriteRaw(value, 4); }
bool BasicChunkStream::WriteUInt8(const uint8_t* value) { return WriteRaw(value, 1); }
bool BasicChunkStream::WriteUInt16(const uint16_t* value) { return WriteRaw(value, 2); }
bool BasicChunkStream::WriteUInt32(const uint32_t* value) { return WriteRaw(value, 4); }

bool BasicChunkStream::WriteChunk(uint32_t tag, const void* data, int32_t n) {
  if (!BeginChunk(tag)) return false;
  if (!WriteRaw(data, n)) {
    // Close the frame anyway so that later chunks do not land inside it.
    EndChunk();
    return false;
  }
  return EndChunk();
}

bool BasicChunkStream::WriteValueChunk(uint32_t tag, const void* value, int32_t n) {
  return WriteChunk(tag, value, n);
}

bool BasicChunkStream::WriteCharChunk(uint32_t tag, const char* value) { return WriteValueChunk(tag, value, 1); }
bool BasicChunkStream::WriteBoolChunk(uint32_t tag, const bool* value) {
  const uint8_t byte = *value ? 1 : 0;
  return WriteValueChunk(tag, &byte, 1);
}
bool BasicChunkStream::WriteInt16Chunk(uint32_t tag, const int16_t* value) { return WriteValueChunk(tag, value, 2); }
bool BasicChunkStream::WriteInt32Chunk(uint32_t tag, const int32_t* value) { return WriteValueChunk(tag, value, 4); }
bool BasicChunkStream::WriteUInt8Chunk(uint32_t tag, const uint8_t* value) { return WriteValueChunk(tag, value, 1); }
bool BasicChunkStream::WriteUInt16Chunk(uint32_t tag, const uint16_t* value) { return WriteValueChunk(tag, value, 2); }
bool BasicChunkStream::WriteUInt32Chunk(uint32_t tag, const uint32_t* value) { return WriteValueChunk(tag, value, 4); }
bool BasicChunkStream::WriteFloatChunk(uint32_t tag, const float* value) { return WriteValueChunk(tag, value, 4); }

uint32_t BasicChunkStream::EndOfList(int32_t at) {
  // Staying on the same header makes every later NextChunk answer 0 too.
  start_ = at;
  size_ = 0;
  tag_ = 0;
  return 0;
}

uint32_t BasicChunkStream::NextChunk() {
  writing_ = false;
  int64_t next = int64_t(start_) + size_;
  int64_t bound = DataEnd();
  if (limit_ >= 0) bound = std::min<int64_t>(bound, limit_);
  int32_t at = int32_t(std::clamp<int64_t>(next, 0, std::numeric_limits<int32_t>::max()));
  if (next < 0 || next + kHeaderSize > bound) return EndOfList(at);
  uint32_t header[2];
  if (!Seek(at) || !Read(header, kHeaderSize)) return EndOfList(at);
  uint32_t tag = header[0];
  uint32_t size = header[1];
  // Never trust a size that cannot hold its own header or runs past the data
  // or the enclosing chunk: the list ends there.
  if (tag == 0 || size < uint32_t(kHeaderSize) || next + int64_t(size) > bound) return EndOfList(at);
  start_ = at;
  size_ = int32_t(size);
  tag_ = tag;
  return tag;
}

int32_t BasicChunkStream::ChunkSize() { return size_; }

int32_t BasicChunkStream::BytesLeft() { return start_ + size_ - Tell(); }

bool BasicChunkStream::ReadChunkData(void* dest, int32_t n) {
  if (n < 0 || n > BytesLeft()) return false;
  return Read(dest, n);
}

bool BasicChunkStream::ReadValue(void* value, int32_t n) {
  // Read into a scratch copy so a short read leaves the caller's default.
  uint8_t scratch[8];
  if (!Read(scratch, n)) return false;
  std::memcpy(value, scratch, size_t(n));
  return true;
}

bool BasicChunkStream::ReadChar(char* value) { return ReadValue(value, 1); }
bool BasicChunkStream::ReadBool(bool* value) {
  uint8_t byte;
  if (!ReadValue(&byte, 1)) return false;
  *value = byte != 0;
  return true;
}
bool BasicChunkStream::ReadInt16(int16_t* value) { return ReadValue(value, 2); }
bool BasicChunkStream::ReadInt32(int32_t* value) { return ReadValue(value, 4); }
bool BasicChunkStream::ReadUInt8(uint8_t* value) { return ReadValue(value, 1); }
bool BasicChunkStream::ReadUInt16(uint16_t* value) { return ReadValue(value, 2); }
bool BasicChunkStream::ReadUInt32(uint32_t* value) { return ReadValue(value, 4); }
bool BasicChunkStream::ReadFloat(float* value) { return ReadValue(value, 4); }

bool BasicChunkStream::EnterChunk() {
  if (tag_ == 0 || size_ < kHeaderSize) return false;
  outerReads_.push_back({tag_, start_, size_, limit_});
  int32_t chunkEnd = start_ + size_;
  limit_ = limit_ < 0 ? chunkEnd : std::min(limit_, chunkEnd);
  tag_ = 0;
  size_ = 0;
  start_ = Tell();
  return true;
}

bool BasicChunkStream::LeaveChunk() {
  if (outerReads_.empty()) return false;
  const Frame& outer = outerReads_.back();
  tag_ = outer.tag;
  start_ = outer.start;
  size_ = outer.size;
  limit_ = outer.limit;
  outerReads_.pop_back();
  return Seek(start_ + size_);
}

}  // namespace lv
