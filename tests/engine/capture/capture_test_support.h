#pragma once
// Pieces the capture and render tests share: an audio input whose spectrum
// the test sets, capture files built record by record, and a scratch folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "capture/capture_audio.h"
#include "capture/capture_record.h"
#include "modulation/audio_input.h"

namespace lvtest {

class FakeAudio : public lv::AudioInput, public lv::CaptureAudio {
 public:
  void ProcessPass() override { ++passes; }
  const float* Spectrum() const override { return spectrum.data(); }
  float BandLevel(int) const override { return 0.0f; }
  float Level() const override { return 0.0f; }
  float Beat() const override { return 0.0f; }

  void CloseInput() override { ++closes; }
  void ReopenInput() override { ++reopens; }
  float* SpectrumBlock() override { return spectrum.data(); }

  void Fill(float value) { spectrum.fill(value); }

  std::array<float, lv::kCaptureSpectrumValues> spectrum{};
  std::atomic<int> passes{0};
  int closes = 0;
  int reopens = 0;
};

inline uint32_t Message(uint8_t status, uint8_t data1 = 0, uint8_t data2 = 0) {
  return status | data1 << 8 | data2 << 16;
}

// A capture file's bytes, record by record.
class CaptureBytes {
 public:
  CaptureBytes& Event(uint32_t message, uint32_t time) {
    bytes.push_back(lv::kCaptureEventRecord);
    Put(message);
    Put(time);
    return *this;
  }
  // Every value of the spectrum is `value`.
  CaptureBytes& Spectrum(float value) {
    bytes.push_back(lv::kCaptureSpectrumRecord);
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < lv::kCaptureSpectrumValues; ++i) Put(bits);
    return *this;
  }
  CaptureBytes& Raw(std::vector<uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return *this;
  }
  void Save(const std::filesystem::path& path) const {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  std::vector<uint8_t> bytes;

 private:
  void Put(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A folder of its own for each test, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("lv_") + test->test_suite_name() + "_" + test->name() + "_" +
                       std::to_string(::getpid());
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& Path() const { return path_; }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace lvtest
