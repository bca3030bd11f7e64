#pragma once
// Expected chunk bytes, built the way a project file lays them out.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace captest {

inline void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
// `code` as written in the file: the tag's letters reversed.
inline void PutChunk(std::vector<uint8_t>& out, const char* code, const void* data, uint32_t n) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(code[i]));
  PutU32(out, n + 8);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out.insert(out.end(), bytes, bytes + n);
}
inline void PutU32Chunk(std::vector<uint8_t>& out, const char* code, uint32_t v) { PutChunk(out, code, &v, 4); }
inline void PutTextChunk(std::vector<uint8_t>& out, const char* code, const std::string& text) {
  PutChunk(out, code, text.c_str(), static_cast<uint32_t>(text.size() + 1));
}
inline void PutEnd(std::vector<uint8_t>& out) { out.insert(out.end(), 8, 0); }

}  // namespace captest
