#include "lv/section_file.h"

#include <cstdint>
#include <limits>

namespace lv {

SectionFile::SectionFile(std::FILE* file, bool reading) : file_(file), reading_(reading) {}

bool SectionFile::BeginSection(uint32_t magic) {
  if (file_ == nullptr || reading_) return false;
  if (open_) EndSection();
  const uint32_t header[2] = {magic, 0};
  if (std::fwrite(header, 1, sizeof header, file_) != sizeof header) return false;
  next_ = std::ftell(file_);
  open_ = true;
  return true;
}

bool SectionFile::EndSection() {
  if (file_ == nullptr || !open_) return false;
  open_ = false;
  long end = std::ftell(file_);
  if (end < 0) return false;
  uint32_t size = uint32_t(end - next_);
  bool written = std::fseek(file_, long(next_ - 4), SEEK_SET) == 0 &&
                 std::fwrite(&size, 1, sizeof size, file_) == sizeof size;
  std::fseek(file_, end, SEEK_SET);
  return written;
}

SectionFile::Section SectionFile::NextSection() {
  constexpr Section kEnd{-1, -1};
  if (file_ == nullptr || !reading_) return kEnd;
  if (std::fseek(file_, long(next_), SEEK_SET) != 0) return kEnd;
  uint32_t header[2];
  if (std::fread(header, 1, sizeof header, file_) != sizeof header) return kEnd;
  if (header[1] > uint32_t(std::numeric_limits<int32_t>::max())) return kEnd;
  next_ += int64_t(header[1]) + 8;
  return {int32_t(header[0]), int32_t(header[1])};
}

void SectionFile::Close() {
  if (file_ == nullptr) return;
  if (!reading_ && open_) EndSection();
  std::fclose(file_);
  file_ = nullptr;
}

}  // namespace lv
