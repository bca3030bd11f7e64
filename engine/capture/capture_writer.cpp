#include "capture/capture_writer.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "capture/capture_record.h"
#include "platform/sys/log.h"

namespace lv {

std::unique_ptr<CaptureWriter> CaptureWriter::Create(const std::string& path, std::string* error) {
  std::string tempPath = path + ".partial";
  std::FILE* file = std::fopen(tempPath.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr) *error = tempPath + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<CaptureWriter>(new CaptureWriter(path, std::move(tempPath), file));
}

CaptureWriter::CaptureWriter(std::string path, std::string tempPath, std::FILE* file)
    : path_(std::move(path)), tempPath_(std::move(tempPath)), file_(file) {}

CaptureWriter::~CaptureWriter() {
  // Never closed: the recording is abandoned and the target left as it was.
  if (file_ == nullptr) return;
  std::fclose(file_);
  std::error_code ignored;
  std::filesystem::remove(tempPath_, ignored);
}

void CaptureWriter::Write(const void* bytes, size_t count) {
  if (file_ == nullptr || failed_) return;
  if (std::fwrite(bytes, 1, count, file_) != count) failed_ = true;
}

void CaptureWriter::WriteEvent(const MidiEvent& event) {
  uint8_t record[kCaptureEventRecordBytes];
  record[0] = kCaptureEventRecord;
  PutU32(record + 1, event.message);
  PutU32(record + 5, event.time);
  Write(record, sizeof record);
}

void CaptureWriter::WriteSpectrum(const float* spectrum) {
  uint8_t record[kCaptureSpectrumRecordBytes];
  record[0] = kCaptureSpectrumRecord;
  for (int i = 0; i < kCaptureSpectrumValues; ++i) {
    uint32_t bits;
    std::memcpy(&bits, &spectrum[i], 4);
    PutU32(record + 1 + 4 * i, bits);
  }
  Write(record, sizeof record);
}

bool CaptureWriter::Close() {
  if (file_ == nullptr) return !failed_;
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  std::error_code code;
  if (!failed_) {
    std::filesystem::rename(tempPath_, path_, code);
    if (!code) return true;
    failed_ = true;
  }
  sys::Log("CaptureWriter: the recording to %s could not be completed", path_.c_str());
  std::filesystem::remove(tempPath_, code);
  return false;
}

}  // namespace lv
