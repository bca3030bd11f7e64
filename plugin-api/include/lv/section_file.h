#pragma once
// The project file's outer frame: sections of a magic in reading order, a
// 32-bit body size (header not counted) and the body.
#include <cstdint>
#include <cstdio>

namespace lv {

// Magic value whose bytes in the file read as `code` (stored little-endian).
constexpr uint32_t SectionMagic(const char (&code)[5]) {
  return uint32_t(uint8_t(code[0])) | (uint32_t(uint8_t(code[1])) << 8) |
         (uint32_t(uint8_t(code[2])) << 16) | (uint32_t(uint8_t(code[3])) << 24);
}

class SectionFile {
 public:
  struct Section {
    int32_t magic;  // -1 at the end of the file
    int32_t size;   // body bytes; -1 at the end
  };

  // `file` is opened by the caller ("wb" to write, "rb" to read); Close closes it.
  SectionFile(std::FILE* file, bool reading);
  ~SectionFile() { Close(); }
  SectionFile(const SectionFile&) = delete;
  SectionFile& operator=(const SectionFile&) = delete;

  std::FILE* File() const { return file_; }

  // Writing: the magic and a placeholder size; the body follows.
  bool BeginSection(uint32_t magic);
  // Writing: patches the open section's size.
  bool EndSection();

  // Reading: the next section's header; the file is left at its body. A
  // header cut short (or a size of 2 GiB and more) ends the reading with
  // {-1, -1}.
  Section NextSection();

  // Ends an open section when writing, then closes the file.
  void Close();

 private:
  std::FILE* file_;
  int64_t next_ = 0;
  bool open_ = false;
  bool reading_;
};

}  // namespace lv
