#pragma once
// Builds expected file contents byte by byte, independently of the stream
// code under test, and reads and writes whole files.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace lvtest {

struct Bytes {
  std::vector<uint8_t> data;

  Bytes& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    data.insert(data.end(), b, b + n);
    return *this;
  }
  Bytes& U8(uint8_t v) { return Raw(&v, 1); }
  Bytes& U16(uint16_t v) { return U8(uint8_t(v)).U8(uint8_t(v >> 8)); }
  Bytes& U32(uint32_t v) { return U16(uint16_t(v)).U16(uint16_t(v >> 16)); }
  Bytes& I32(int32_t v) { return U32(uint32_t(v)); }
  Bytes& F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
  }
  Bytes& Text(const std::string& s, bool nul = true) { return Raw(s.data(), s.size()).Raw("", nul ? 1 : 0); }
  Bytes& Append(const Bytes& other) { return Raw(other.data.data(), other.data.size()); }

  // A chunk: its four letters stored last first, a size that counts the header.
  Bytes& Chunk(const char (&code)[5], const Bytes& payload) {
    for (int i = 3; i >= 0; --i) U8(uint8_t(code[i]));
    return U32(uint32_t(payload.data.size() + 8)).Append(payload);
  }
  Bytes& End() { return U32(0).U32(0); }
  // A section: its letters in reading order, a size of the body alone.
  Bytes& Section(const char (&code)[5], const Bytes& body) {
    Raw(code, 4);
    return U32(uint32_t(body.data.size())).Append(body);
  }
};

inline Bytes U8s(uint8_t v) { return Bytes().U8(v); }
inline Bytes U16s(uint16_t v) { return Bytes().U16(v); }
inline Bytes I32s(int32_t v) { return Bytes().I32(v); }
inline Bytes F32s(float v) { return Bytes().F32(v); }

inline std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

}  // namespace lvtest
