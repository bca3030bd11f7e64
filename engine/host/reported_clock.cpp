#include "host/reported_clock.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <system_error>

namespace lv {

namespace {

// Far more than /proc/cpuinfo holds on the largest machines; a file that
// never ends (a device, a fixture gone wrong) stops here.
constexpr std::size_t kMaxTextBytes = 16u << 20;

std::string_view Trimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

int32_t RoundedMhz(double mhz) {
  if (!std::isfinite(mhz) || !(mhz > 0.0)) return 0;
  const double rounded = std::floor(mhz + 0.5);
  if (!(rounded < static_cast<double>(std::numeric_limits<int32_t>::max()))) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(rounded);
}

// The whole file, read as a stream: files under /proc and /sys report no
// size. Missing or unreadable files read as empty.
std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  char chunk[4096];
  while (in && text.size() < kMaxTextBytes) {
    in.read(chunk, sizeof chunk);
    text.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (text.size() >= kMaxTextBytes) {
    // Cut back to the last whole line so no number is read half.
    const std::size_t lineEnd = text.rfind('\n');
    text.resize(lineEnd == std::string::npos ? 0 : lineEnd + 1);
  }
  return text;
}

bool IsProcessorFolderName(const std::string& name) {
  constexpr std::string_view kPrefix = "cpu";
  if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0) return false;
  return name.find_first_not_of("0123456789", kPrefix.size()) == std::string::npos;
}

int32_t LargestCpufreqMaximum(const std::filesystem::path& root) {
  std::error_code error;
  std::filesystem::directory_iterator entry(root / "sys/devices/system/cpu", error);
  int32_t largest = 0;
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!IsProcessorFolderName(entry->path().filename().string())) continue;
    const int32_t mhz = MhzFromCpufreqText(ReadText(entry->path() / "cpufreq/cpuinfo_max_freq"));
    if (mhz > largest) largest = mhz;
  }
  return largest;
}

}  // namespace

int32_t MhzFromCpufreqText(std::string_view kilohertz) {
  const std::string_view digits = Trimmed(kilohertz);
  uint64_t khz = 0;
  const auto [end, status] = std::from_chars(digits.data(), digits.data() + digits.size(), khz);
  if (status != std::errc() || end != digits.data() + digits.size()) return 0;
  return RoundedMhz(static_cast<double>(khz) / 1000.0);
}

int32_t MhzFromCpuinfoText(std::string_view cpuinfo) {
  int32_t largest = 0;
  while (!cpuinfo.empty()) {
    const std::size_t lineEnd = cpuinfo.find('\n');
    const std::string_view line = cpuinfo.substr(0, lineEnd);
    cpuinfo.remove_prefix(lineEnd == std::string_view::npos ? cpuinfo.size() : lineEnd + 1);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || Trimmed(line.substr(0, colon)) != "cpu MHz") continue;
    const std::string_view number = Trimmed(line.substr(colon + 1));
    double mhz = 0.0;
    const auto [end, status] = std::from_chars(number.data(), number.data() + number.size(), mhz);
    if (status != std::errc() || end != number.data() + number.size()) continue;
    const int32_t rounded = RoundedMhz(mhz);
    if (rounded > largest) largest = rounded;
  }
  return largest;
}

int32_t ReportedClockMHz(const std::filesystem::path& root) {
  const int32_t cpufreq = LargestCpufreqMaximum(root);
  if (cpufreq > 0) return cpufreq;
  return MhzFromCpuinfoText(ReadText(root / "proc/cpuinfo"));
}

}  // namespace lv
