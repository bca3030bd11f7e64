#include "host/system_info.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <string>

#include "host/lorvane_host.h"

namespace {

// The clocks this machine reports, in MHz: every processor's cpufreq
// minimum to maximum where the kernel has them, else the spread of
// /proc/cpuinfo's "cpu MHz" lines.
struct ClockRange {
  double low = std::numeric_limits<double>::infinity();
  double high = 0.0;

  bool Empty() const { return high <= 0.0; }
  void Add(double mhz) {
    if (!(mhz > 0.0)) return;
    low = std::min(low, mhz);
    high = std::max(high, mhz);
  }
};

ClockRange ReportedClockRange() {
  ClockRange range;
  std::error_code error;
  const std::regex processor("cpu[0-9]+");
  for (const auto& entry : std::filesystem::directory_iterator("/sys/devices/system/cpu", error)) {
    if (!std::regex_match(entry.path().filename().string(), processor)) continue;
    for (const char* bound : {"cpuinfo_min_freq", "cpuinfo_max_freq"}) {
      double khz = 0.0;
      if (std::ifstream(entry.path() / "cpufreq" / bound) >> khz) range.Add(khz / 1000.0);
    }
  }
  if (!range.Empty()) return range;
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    double mhz = 0.0;
    if (line.rfind("cpu MHz", 0) == 0 && std::sscanf(line.c_str(), "cpu MHz : %lf", &mhz) == 1) range.Add(mhz);
  }
  return range;
}

TEST(SystemInfo, TheHostsProcessorClockLiesWithinWhatTheSystemReports) {
  // cpuinfo may give the current clock, so it is read on both sides.
  ClockRange range = ReportedClockRange();
  lv::LorvaneHost host;
  const ClockRange after = ReportedClockRange();
  if (range.Empty() && after.Empty()) GTEST_SKIP() << "this machine reports no processor clock";
  if (!after.Empty()) {
    range.Add(after.low);
    range.Add(after.high);
  }
  EXPECT_GE(host.GetCpuMHz(), static_cast<int32_t>(std::floor(range.low)));
  EXPECT_LE(host.GetCpuMHz(), static_cast<int32_t>(std::ceil(range.high)));
}

TEST(SystemInfo, ClockEstimatesNeverComeFromANonPositiveTime) {
  constexpr uint32_t kLoop = 0x80000;
  constexpr int64_t kNs = 1000000000;
  struct Case {
    int64_t t1, t2, t3, frequency;
    int32_t mhz;
  };
  const Case cases[] = {
      {0, 10, 10 + 524288 + 10, kNs, 2000},  // 2 x 524288 cycles in 524288 ns (reading cost taken off)
      {0, 10, 10 + 1048576 + 10, kNs, 1000},
      {0, 10, 20, kNs, 0},                    // the loop took no longer than a reading
      {0, 100, 110, kNs, 0},                  // negative
      {0, 10, 5000, 0, 0},                    // no counter frequency
      {0, 10, 5000, -1, 0},
      {0, 0, 1, std::numeric_limits<int64_t>::max(), std::numeric_limits<int32_t>::max()},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(lv::MhzFromCounts(c.t1, c.t2, c.t3, c.frequency, kLoop), c.mhz) << c.t3 << " " << c.frequency;
  }
}

TEST(SystemInfo, TheQueryFillsWhatIsAskedAndLeavesTheSecondWordAlone) {
  lv::SystemInfo info;
  info.reserved = 0x12345678;
  info.cpuMHz = 7;
  info.physicalKB = 7;
  info.request = lv::SystemInfo::kRequestFeatures | lv::SystemInfo::kRequestMemory;
  lv::QuerySystemInfo(&info);
  EXPECT_EQ(info.reserved, 0x12345678u);
  EXPECT_EQ(info.cpuMHz, 0);  // the clock was not asked for
  EXPECT_GT(info.physicalKB, 0u);
  EXPECT_GE(info.virtualKB, info.physicalKB);
#if defined(__x86_64__)
  EXPECT_TRUE(info.features & lv::SystemInfo::kFeatureCpuid);
  EXPECT_TRUE(info.features & lv::SystemInfo::kFeatureMmx);
  EXPECT_TRUE(info.features & lv::SystemInfo::kFeatureCmov);
#endif
  EXPECT_EQ(info.features & lv::SystemInfo::kFeatureGenuineIntel, 0u);  // identification was not asked for

  info.request = lv::SystemInfo::kRequestClock;
  lv::QuerySystemInfo(&info);
  EXPECT_GT(info.cpuMHz, 0);
  EXPECT_EQ(info.physicalKB, 0u);  // cleared and not asked for
}

}  // namespace
