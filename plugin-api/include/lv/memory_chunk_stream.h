#pragma once
// A chunk stream over a growable memory buffer (the drag-and-drop patch
// record), or over memory attached for reading.
#include "lv/basic_chunk_stream.h"

namespace lv {

class MemoryChunkStream final : public BasicChunkStream {
 public:
  MemoryChunkStream() = default;
  ~MemoryChunkStream();
  MemoryChunkStream(const MemoryChunkStream&) = delete;
  MemoryChunkStream& operator=(const MemoryChunkStream&) = delete;

  // Reads from `buffer` (not owned, not copied) from position 0.
  void Attach(const void* buffer, int32_t length);

  bool Seek(int32_t offset) override;
  int32_t Tell() override { return position_; }
  bool Read(void* dest, int32_t n) override;
  bool WriteRaw(const void* data, int32_t n) override;

  const uint8_t* Buffer() const { return buffer_; }
  // Allocated bytes; the data written so far ends at Tell() after WriteEnd.
  int32_t Length() const { return length_; }
  bool OwnsBuffer() const { return owns_; }

 protected:
  int32_t DataEnd() override { return length_; }

 private:
  void FreeOwned();

  uint8_t* buffer_ = nullptr;
  int32_t length_ = 0;
  int32_t position_ = 0;
  bool owns_ = false;
};

}  // namespace lv
