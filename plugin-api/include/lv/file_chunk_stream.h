#pragma once
// A chunk stream over a FILE* that the caller opened ("rb" or "wb") and closes.
#include <cstdio>

#include "lv/basic_chunk_stream.h"

namespace lv {

class FileChunkStream final : public BasicChunkStream {
 public:
  explicit FileChunkStream(std::FILE* file) : file_(file) {}
  ~FileChunkStream() = default;

  bool Seek(int32_t offset) override;
  int32_t Tell() override;
  bool Read(void* dest, int32_t n) override;
  bool WriteRaw(const void* data, int32_t n) override;

 protected:
  int32_t DataEnd() override;

 private:
  std::FILE* file_;
};

}  // namespace lv
