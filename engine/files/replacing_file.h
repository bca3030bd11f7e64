#pragma once
// Writes a file so that the one it replaces survives any failure: the data
// goes to a temporary file in the same folder, and only when every write, the
// flush and the close succeeded is it renamed over the target.
#include <cstdio>
#include <string>

namespace lv {

class ReplacingFile {
 public:
  explicit ReplacingFile(std::string target);
  // Removes the temporary file unless Commit succeeded.
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file; false when the folder does not take it.
  bool Open();
  // The temporary file opened for writing; null before Open.
  std::FILE* File() const { return file_; }
  // Flushes, checks the stream's error state, syncs and closes the file,
  // then renames it over the target. False leaves the target as it was.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temporary_;
  std::FILE* file_ = nullptr;
};

}  // namespace lv
