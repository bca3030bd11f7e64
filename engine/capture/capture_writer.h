#pragma once
// A capture file being recorded. It is written under a temporary name beside
// the target and moved to the target only by a successful Close, so a failed
// recording never replaces the file that was there.
#include <cstdio>
#include <memory>
#include <string>

#include "performer/capture_file.h"

namespace lv {

class CaptureWriter : public CaptureFile {
 public:
  // Null when the file cannot be created, with the reason in `error`.
  static std::unique_ptr<CaptureWriter> Create(const std::string& path, std::string* error);
  // Without Close the recording is discarded.
  ~CaptureWriter() override;

  void WriteEvent(const MidiEvent& event) override;
  void WriteSpectrum(const float* spectrum) override;
  // Nothing to play: a recording is never fed.
  bool Feed(Performer&, uint32_t) override { return false; }
  bool Close() override;

  const std::string& Path() const { return path_; }

 private:
  CaptureWriter(std::string path, std::string tempPath, std::FILE* file);
  void Write(const void* bytes, size_t count);

  std::string path_;
  std::string tempPath_;
  std::FILE* file_;
  bool failed_ = false;
};

}  // namespace lv
