#include "host/reported_clock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "host/system_info.h"

namespace {

TEST(ReportedClock, CpufreqTextsAreOneWholeNumberOfKilohertz) {
  struct Case {
    const char* text;
    int32_t mhz;
  };
  const Case cases[] = {
      {"2100000\n", 2100},
      {"2100499", 2100},
      {"2100500", 2101},  // rounded, not cut
      {" 3600000 \r\n", 3600},
      {"", 0},
      {"\n", 0},
      {"0\n", 0},
      {"499\n", 0},
      {"-2100000\n", 0},
      {"+2100000\n", 0},
      {"2100000 kHz\n", 0},
      {"2100000.5\n", 0},
      {"<unsupported>\n", 0},
      {"99999999999999999999999\n", 0},  // beyond any counter
      {"18446744073709551\n", std::numeric_limits<int32_t>::max()},
  };
  for (const Case& c : cases) EXPECT_EQ(lv::MhzFromCpufreqText(c.text), c.mhz) << '"' << c.text << '"';
}

TEST(ReportedClock, CpuinfoGivesTheLargestCpuMhzLine) {
  struct Case {
    const char* text;
    int32_t mhz;
  };
  const Case cases[] = {
      {"processor\t: 0\nmodel name\t: AMD EPYC\ncpu MHz\t\t: 2096.017\n\n"
       "processor\t: 1\nmodel name\t: AMD EPYC\ncpu MHz\t\t: 3400.501\n\n"
       "processor\t: 2\ncpu MHz\t\t: 800.000\n",
       3401},
      {"cpu MHz\t\t: 2096.017", 2096},  // no line end after the last line
      {"cpu MHz : 2499.5\r\n", 2500},
      {"processor\t: 0\nBogoMIPS\t: 50.00\nFeatures\t: fp asimd\n", 0},  // machines without the line
      {"cpu MHz dynamic : 5200\ncpu MHz static : 5200\n", 0},             // other keys that start alike
      {"model name\t: Processor @ 2.10GHz\n", 0},
      {"cpu MHz\t\t: \ncpu MHz\t\t: fast\ncpu MHz\t\t: 2100.000\n", 2100},  // garbage lines pass by
      {"cpu MHz\t\t: 0.000\n", 0},
      {"cpu MHz\t\t: -2100\n", 0},
      {"cpu MHz\t\t: nan\ncpu MHz\t\t: inf\n", 0},
      {"cpu MHz\t\t: 2100 MHz\n", 0},
      {"cpu MHz\t\t: 1e300\n", std::numeric_limits<int32_t>::max()},
      {"cpu MHz 2100\n", 0},
      {"", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(lv::MhzFromCpuinfoText(c.text), c.mhz) << '"' << c.text << '"';
}

// A made-up root folder holding the files of one case.
class FixtureRoot {
 public:
  explicit FixtureRoot(const std::vector<std::pair<std::string, std::string>>& files)
      : root_(std::filesystem::temp_directory_path() / ("lv-clock-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    for (const auto& [path, text] : files) {
      std::filesystem::create_directories((root_ / path).parent_path());
      std::ofstream(root_ / path, std::ios::binary) << text;
    }
  }
  ~FixtureRoot() { std::filesystem::remove_all(root_); }
  FixtureRoot(const FixtureRoot&) = delete;
  FixtureRoot& operator=(const FixtureRoot&) = delete;

  const std::filesystem::path& Path() const { return root_; }

 private:
  std::filesystem::path root_;
};

TEST(ReportedClock, CpufreqMaximumComesFirstThenCpuinfoThenTheLoop) {
  const std::string cpu = "sys/devices/system/cpu/";
  const std::string cpuinfo = "proc/cpuinfo";
  const std::string twoCores = "processor\t: 0\ncpu MHz\t\t: 1800.250\n\nprocessor\t: 1\ncpu MHz\t\t: 2096.017\n";
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    int32_t mhz;  // 0: the system reports none
  };
  const Case cases[] = {
      {"cpufreq on every processor, the largest kept over cpuinfo's",
       {{cpu + "cpu0/cpufreq/cpuinfo_max_freq", "2100000\n"},
        {cpu + "cpu1/cpufreq/cpuinfo_max_freq", "3600000\n"},
        {cpu + "cpu12/cpufreq/cpuinfo_max_freq", "2400000\n"},
        {cpu + "cpu0/cpufreq/scaling_cur_freq", "4800000\n"},
        {cpuinfo, twoCores}},
       3600},
      {"cpufreq on some processors only",
       {{cpu + "cpu0/online", "1\n"}, {cpu + "cpu1/cpufreq/cpuinfo_max_freq", "2900000\n"}, {cpuinfo, twoCores}},
       2900},
      {"folders that are not processors are not read",
       {{cpu + "cpufreq/cpufreq/cpuinfo_max_freq", "9000000\n"},
        {cpu + "cpuX/cpufreq/cpuinfo_max_freq", "9000000\n"},
        {cpuinfo, twoCores}},
       2096},
      {"cpufreq of garbage and zero gives way to cpuinfo",
       {{cpu + "cpu0/cpufreq/cpuinfo_max_freq", "0\n"},
        {cpu + "cpu1/cpufreq/cpuinfo_max_freq", "garbage"},
        {cpu + "cpu2/cpufreq/cpuinfo_max_freq", ""},
        {cpuinfo, twoCores}},
       2096},
      {"processors without cpufreq, cpuinfo only", {{cpu + "cpu0/online", "1\n"}, {cpuinfo, twoCores}}, 2096},
      {"cpuinfo only", {{cpuinfo, twoCores}}, 2096},
      {"cpuinfo without a clock", {{cpuinfo, "processor\t: 0\nBogoMIPS\t: 50.00\n"}}, 0},
      {"cpuinfo is a folder", {{cpuinfo + "/x", ""}}, 0},
      {"neither", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const FixtureRoot root(c.files);
    EXPECT_EQ(lv::ReportedClockMHz(root.Path()), c.mhz);
    const int32_t clock = lv::ProcessorClockMHz(root.Path());
    if (c.mhz > 0) {
      EXPECT_EQ(clock, c.mhz);
    } else {
      EXPECT_GT(clock, 0);  // measured by the loop
    }
  }
  EXPECT_EQ(lv::ReportedClockMHz("/nonexistent-lv-root"), 0);
}

}  // namespace
