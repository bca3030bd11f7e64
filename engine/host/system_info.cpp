#include "host/system_info.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/sysinfo.h>
#include <time.h>

#include <cmath>
#include <cstring>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "host/reported_clock.h"

namespace lv {

namespace {

constexpr uint32_t kClockLoopIterations = 0x80000;
constexpr int kClockMeasurements = 3;

int64_t CounterNow() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_RAW, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}
constexpr int64_t kCounterFrequency = 1000000000;

// Raises the calling thread as far as the system lets it for one measurement
// and puts it back afterwards; without the privilege it simply stays as it is.
class RaisedPriority {
 public:
  RaisedPriority() {
    raised_ = pthread_getschedparam(pthread_self(), &policy_, &param_) == 0;
    if (raised_) {
      sched_param top{};
      top.sched_priority = sched_get_priority_max(SCHED_FIFO);
      raised_ = pthread_setschedparam(pthread_self(), SCHED_FIFO, &top) == 0;
    }
  }
  ~RaisedPriority() {
    if (raised_) pthread_setschedparam(pthread_self(), policy_, &param_);
  }
  RaisedPriority(const RaisedPriority&) = delete;
  RaisedPriority& operator=(const RaisedPriority&) = delete;

 private:
  bool raised_ = false;
  int policy_ = SCHED_OTHER;
  sched_param param_{};
};

int32_t MeasureClockOnce() {
  RaisedPriority priority;
  timespec pause{0, 30 * 1000000};
  nanosleep(&pause, nullptr);
  const int64_t t1 = CounterNow();
  const int64_t t2 = CounterNow();
  for (uint32_t i = 0; i < kClockLoopIterations; ++i) {
    // Keeps the compiler from removing the loop.
    asm volatile("" : : "r"(i) : "memory");
  }
  const int64_t t3 = CounterNow();
  return MhzFromCounts(t1, t2, t3, kCounterFrequency, kClockLoopIterations);
}

struct ProcessorFacts {
  bool hasCpuid = false;
  uint32_t features = 0;
  uint8_t family = 0, model = 0, stepping = 0;
};

ProcessorFacts ReadProcessor() {
  ProcessorFacts facts;
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(0, &eax, &ebx, &ecx, &edx) == 0) return facts;
  facts.hasCpuid = true;
  facts.features |= SystemInfo::kFeatureCpuid;
  char vendor[13] = {};
  std::memcpy(vendor, &ebx, 4);
  std::memcpy(vendor + 4, &edx, 4);
  std::memcpy(vendor + 8, &ecx, 4);
  if (std::strcmp(vendor, "GenuineIntel") == 0) facts.features |= SystemInfo::kFeatureGenuineIntel;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0) {
    if (edx & (1u << 23)) facts.features |= SystemInfo::kFeatureMmx;
    if (edx & (1u << 15)) facts.features |= SystemInfo::kFeatureCmov;
    facts.family = static_cast<uint8_t>((eax >> 8) & 0xF);
    facts.model = static_cast<uint8_t>((eax >> 4) & 0xF);
    facts.stepping = static_cast<uint8_t>(eax & 0xF);
  }
#endif
  return facts;
}

}  // namespace

int32_t MhzFromCounts(int64_t t1, int64_t t2, int64_t t3, int64_t frequency, uint32_t iterations) {
  if (frequency <= 0) return 0;
  const double seconds = static_cast<double>((t3 - t2) - (t2 - t1)) / static_cast<double>(frequency);
  if (!(seconds > 0.0)) return 0;
  const double mhz = 2.0 * iterations / seconds * 0.000001 + 0.5;
  if (!(mhz < static_cast<double>(std::numeric_limits<int32_t>::max()))) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(mhz);
}

int32_t ProcessorClockMHz(const std::filesystem::path& root) {
  // The loop estimate takes two iterations a cycle, which no current
  // processor keeps, so it is only the last resort.
  const int32_t reported = ReportedClockMHz(root);
  if (reported > 0) return reported;
  int32_t largest = 0;
  for (int i = 0; i < kClockMeasurements; ++i) {
    const int32_t mhz = MeasureClockOnce();
    if (mhz > largest) largest = mhz;
  }
  return largest;
}

uint32_t QuerySystemInfo(SystemInfo* info) {
  uint32_t result = 0;
  info->cpuMHz = 0;
  info->features = 0;
  info->family = info->model = info->stepping = 0;
  info->physicalKB = info->virtualKB = 0;

  if (info->request & SystemInfo::kRequestClock) info->cpuMHz = ProcessorClockMHz("/");

  const ProcessorFacts processor = ReadProcessor();
  if (!processor.hasCpuid) result |= SystemInfo::kResultNoCpuid;
  if (info->request & SystemInfo::kRequestFeatures) {
    info->features |= processor.features & ~SystemInfo::kFeatureGenuineIntel;
  }
  if (info->request & SystemInfo::kRequestIdentification) {
    info->features |= processor.features & SystemInfo::kFeatureGenuineIntel;
    info->family = processor.family;
    info->model = processor.model;
    info->stepping = processor.stepping;
  }
  if (info->request & (1u << 6)) result |= SystemInfo::kResultRequestBit6;

  if (info->request & SystemInfo::kRequestMemory) {
    struct sysinfo memory {};
    if (sysinfo(&memory) == 0) {
      const uint64_t unit = memory.mem_unit != 0 ? memory.mem_unit : 1;
      const uint64_t physical = static_cast<uint64_t>(memory.totalram) * unit >> 10;
      const uint64_t total = (static_cast<uint64_t>(memory.totalram) + memory.totalswap) * unit >> 10;
      constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
      info->physicalKB = static_cast<uint32_t>(physical < kMax ? physical : kMax);
      info->virtualKB = static_cast<uint32_t>(total < kMax ? total : kMax);
    }
  }
  return result;
}

}  // namespace lv
