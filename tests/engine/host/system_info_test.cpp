#include "host/system_info.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

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
