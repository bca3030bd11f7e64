// Reads arbitrary bytes as chunk lists (memory and file streams, nested lists
// and project sections). Any read outside the data, or a list that fails to
// advance, is a fault.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "lv/file_chunk_stream.h"
#include "lv/memory_chunk_stream.h"
#include "lv/section_file.h"

namespace {

constexpr int kMaxDepth = 12;

void ReadList(lv::BasicChunkStream& s, int depth, int32_t dataSize) {
  int32_t chunks = 0;
  while (uint32_t tag = s.NextChunk()) {
    // Every chunk holds at least its header, so a list has at most size / 8.
    if (++chunks > dataSize / 8 + 1) std::abort();
    if (s.ChunkSize() < 8 || s.BytesLeft() < 0) std::abort();
    switch (tag & 3) {
      case 0: {
        uint32_t v;
        s.ReadUInt32(&v);
        break;
      }
      case 1: {
        std::vector<uint8_t> payload(size_t(s.BytesLeft()));
        if (!s.ReadChunkData(payload.data(), int32_t(payload.size()))) std::abort();
        break;
      }
      case 2: {
        bool b;
        float f;
        s.ReadBool(&b);
        s.ReadFloat(&f);
        break;
      }
      default:
        break;
    }
    if (depth < kMaxDepth && s.EnterChunk()) {
      ReadList(s, depth + 1, dataSize);
      if (!s.LeaveChunk()) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1 << 20)) return 0;
  int32_t length = int32_t(size);

  // Exactly the input bytes, so that the sanitizer sees any overrun.
  std::vector<uint8_t> exact(data, data + size);
  lv::MemoryChunkStream memory;
  memory.Attach(exact.data(), length);
  ReadList(memory, 0, length);

  if (std::FILE* f = fmemopen(exact.data(), size > 0 ? size : 1, "rb")) {
    if (size > 0) {
      lv::FileChunkStream file(f);
      file.Reset();
      ReadList(file, 0, length);
    }
    std::fclose(f);
  }

  if (size > 0) {
    if (std::FILE* f = fmemopen(exact.data(), size, "rb")) {
      lv::SectionFile sections(f, true);
      lv::FileChunkStream body(f);
      for (int n = 0;; ++n) {
        if (n > length / 8 + 1) std::abort();
        lv::SectionFile::Section section = sections.NextSection();
        if (section.magic == -1 && section.size == -1) break;
        body.Reset();
        // A body may claim up to 2 GiB past a start near the same limit.
        const int64_t end = int64_t(body.Tell()) + section.size;
        body.SetReadLimit(int32_t(std::min<int64_t>(end, INT32_MAX)));
        ReadList(body, 0, length);
      }
    }
  }
  return 0;
}
