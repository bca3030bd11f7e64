#pragma once
// The chunk logic shared by the file and memory streams, built on four
// primitives (Seek, Tell, Read, WriteRaw) and the extent of the data.
#include <vector>

#include "lv/chunk_stream.h"

namespace lv {

class BasicChunkStream : public ChunkStream {
 public:
  bool Reset() override;
  bool BeginChunk(uint32_t tag) override;
  bool EndChunk() override;
  bool WriteEnd() override;

  bool WriteChar(const char* value) override;
  bool WriteBool(const bool* value) override;
  bool WriteInt16(const int16_t* value) override;
  bool WriteInt32(const int32_t* value) override;
  bool WriteUInt8(const uint8_t* value) override;
  bool WriteUInt16(const uint16_t* value) override;
  bool WriteUInt32(const uint32_t* value) override;
  bool WriteChunk(uint32_t tag, const void* data, int32_t n) override;

  bool WriteCharChunk(uint32_t tag, const char* value) override;
  bool WriteBoolChunk(uint32_t tag, const bool* value) override;
  bool WriteInt16Chunk(uint32_t tag, const int16_t* value) override;
  bool WriteInt32Chunk(uint32_t tag, const int32_t* value) override;
  bool WriteUInt8Chunk(uint32_t tag, const uint8_t* value) override;
  bool WriteUInt16Chunk(uint32_t tag, const uint16_t* value) override;
  bool WriteUInt32Chunk(uint32_t tag, const uint32_t* value) override;
  bool WriteFloatChunk(uint32_t tag, const float* value) override;

  uint32_t NextChunk() override;
  int32_t ChunkSize() override;
  int32_t BytesLeft() override;
  bool ReadChunkData(void* dest, int32_t n) override;

  bool ReadChar(char* value) override;
  bool ReadBool(bool* value) override;
  bool ReadInt16(int16_t* value) override;
  bool ReadInt32(int32_t* value) override;
  bool ReadUInt8(uint8_t* value) override;
  bool ReadUInt16(uint16_t* value) override;
  bool ReadUInt32(uint32_t* value) override;
  bool ReadFloat(float* value) override;

  // Nested lists (host side only). Reading: after NextChunk found a chunk
  // whose payload is a list, EnterChunk starts that list at the current
  // position, bounded by the chunk's end; LeaveChunk goes back to the outer
  // list so that the next NextChunk answers the chunk after it. Writing:
  // BeginChunk while a chunk is open opens a chunk inside it, and EndChunk
  // closes the innermost one.
  bool EnterChunk();
  bool LeaveChunk();

  // Bounds every list read from now on to end before `end` (a section body);
  // a negative value lifts the bound.
  void SetReadLimit(int32_t end) { limit_ = end; }

  // The chunk being written or read: tag 0 when none is open.
  uint32_t CurrentTag() const { return tag_; }
  int32_t CurrentStart() const { return start_; }

 protected:
  BasicChunkStream() = default;
  ~BasicChunkStream() = default;

  // Number of bytes the stream holds (what NextChunk may reach).
  virtual int32_t DataEnd() = 0;

 private:
  struct Frame {
    uint32_t tag;
    int32_t start;
    int32_t size;
    int32_t limit;
  };
  bool WriteValueChunk(uint32_t tag, const void* value, int32_t n);
  bool ReadValue(void* value, int32_t n);
  uint32_t EndOfList(int32_t at);

  uint32_t tag_ = 0;
  int32_t start_ = 0;
  int32_t size_ = 0;
  int32_t limit_ = -1;
  bool writing_ = false;             // a chunk opened by BeginChunk is open
  std::vector<Frame> outerWrites_;   // chunks that enclose the one being written
  std::vector<Frame> outerReads_;    // lists that enclose the one being read
};

}  // namespace lv
