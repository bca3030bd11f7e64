#pragma once
// What the host knows of the machine: processor clock, features and
// identification, and memory.
#include <cstdint>
#include <filesystem>

namespace lv {

struct SystemInfo {
  // What the query measures.
  enum Request : uint32_t {
    kRequestFeatures = 1u << 0,
    kRequestClock = 1u << 1,
    kRequestIdentification = 1u << 2,
    kRequestMemory = 1u << 3,
    kRequestAll = 0xFFFFFFFFu,
  };
  enum Feature : uint32_t {
    kFeatureGenuineIntel = 1u << 0,
    kFeatureCpuid = 1u << 1,
    kFeatureMmx = 1u << 2,
    kFeatureCmov = 1u << 3,
  };
  // Bits of the query's result.
  enum Result : uint32_t {
    kResultNoCpuid = 1u << 0,
    kResultRequestBit6 = 1u << 3,
  };

  uint32_t request = kRequestAll;
  uint32_t reserved = 0;  // left alone by the query
  // Everything from here on is cleared by the query before it fills it.
  int32_t cpuMHz = 0;
  uint32_t features = 0;
  uint8_t family = 0;
  uint8_t model = 0;
  uint8_t stepping = 0;
  uint32_t physicalKB = 0;
  uint32_t virtualKB = 0;
};

// Fills `info` as its request bits ask; answers the Result bits.
uint32_t QuerySystemInfo(SystemInfo* info);

// The processor's clock in MHz as the system under `root` reports it, else,
// where it reports none, the largest of three loop measurements.
int32_t ProcessorClockMHz(const std::filesystem::path& root);

// One loop measurement from counter readings around an empty loop of
// `iterations` taken at two cycles each: t1 and t2 back to back (the cost of
// a reading), t3 after the loop, `frequency` counts per second. 0 when the
// readings give no positive time.
int32_t MhzFromCounts(int64_t t1, int64_t t2, int64_t t3, int64_t frequency, uint32_t iterations);

}  // namespace lv
