#pragma once
// The chunked container every saved state goes through. A chunk is a 32-bit
// tag, a 32-bit size that counts its own 8-byte header, then the payload, all
// little-endian; eight zero bytes end a list. Plug-in libraries are handed a
// ChunkStream* and call it through its table, so the order of the operations
// below is binding and must never change.
#include <cstdint>

namespace lv {

// Tag value of a four-character code: the first letter is the most
// significant byte, so the letters appear reversed in a file.
constexpr uint32_t ChunkTag(const char (&code)[5]) {
  return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
         (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

class ChunkStream {
 public:
  // Positioning and raw reads.
  virtual bool Seek(int32_t offset) = 0;
  virtual int32_t Tell() = 0;
  virtual bool Read(void* dest, int32_t n) = 0;
  // Forgets the current chunk: the next NextChunk or BeginChunk works at the
  // current position.
  virtual bool Reset() = 0;

  // Writing chunks.
  virtual bool BeginChunk(uint32_t tag) = 0;
  virtual bool EndChunk() = 0;
  virtual bool WriteEnd() = 0;

  // Raw values, no header.
  virtual bool WriteChar(const char* value) = 0;
  virtual bool WriteBool(const bool* value) = 0;
  virtual bool WriteInt16(const int16_t* value) = 0;
  virtual bool WriteInt32(const int32_t* value) = 0;
  virtual bool WriteUInt8(const uint8_t* value) = 0;
  virtual bool WriteUInt16(const uint16_t* value) = 0;
  virtual bool WriteUInt32(const uint32_t* value) = 0;
  virtual bool WriteRaw(const void* data, int32_t n) = 0;
  virtual bool WriteChunk(uint32_t tag, const void* data, int32_t n) = 0;

  // One value as a whole chunk.
  virtual bool WriteCharChunk(uint32_t tag, const char* value) = 0;
  virtual bool WriteBoolChunk(uint32_t tag, const bool* value) = 0;
  virtual bool WriteInt16Chunk(uint32_t tag, const int16_t* value) = 0;
  virtual bool WriteInt32Chunk(uint32_t tag, const int32_t* value) = 0;
  virtual bool WriteUInt8Chunk(uint32_t tag, const uint8_t* value) = 0;
  virtual bool WriteUInt16Chunk(uint32_t tag, const uint16_t* value) = 0;
  virtual bool WriteUInt32Chunk(uint32_t tag, const uint32_t* value) = 0;
  virtual bool WriteFloatChunk(uint32_t tag, const float* value) = 0;

  // Reading chunks: NextChunk answers the next tag, 0 at the end of the list
  // (also for a damaged or cut-off list).
  virtual uint32_t NextChunk() = 0;
  virtual int32_t ChunkSize() = 0;
  virtual int32_t BytesLeft() = 0;
  virtual bool ReadChunkData(void* dest, int32_t n) = 0;

  // Raw values at the current position.
  virtual bool ReadChar(char* value) = 0;
  virtual bool ReadBool(bool* value) = 0;
  virtual bool ReadInt16(int16_t* value) = 0;
  virtual bool ReadInt32(int32_t* value) = 0;
  virtual bool ReadUInt8(uint8_t* value) = 0;
  virtual bool ReadUInt16(uint16_t* value) = 0;
  virtual bool ReadUInt32(uint32_t* value) = 0;
  virtual bool ReadFloat(float* value) = 0;

 protected:
  // Streams are built and destroyed by the code that owns them, never
  // through this interface.
  ChunkStream() = default;
  ~ChunkStream() = default;
  ChunkStream(const ChunkStream&) = default;
  ChunkStream& operator=(const ChunkStream&) = default;
};

}  // namespace lv
