#pragma once
// The processor's clock as the system reports it: the kernel's cpufreq
// maximum, else the clock /proc/cpuinfo gives (on some machines the current
// rather than the top clock). The readers take the root folder they read
// under, so a made-up tree can stand in for the machine's; the program
// passes "/".
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace lv {

// MHz, rounded, from the text of one cpufreq cpuinfo_max_freq file (kHz);
// 0 unless it holds one positive whole number.
int32_t MhzFromCpufreqText(std::string_view kilohertz);

// The largest "cpu MHz" of a /proc/cpuinfo text, rounded; 0 when it has no
// positive one.
int32_t MhzFromCpuinfoText(std::string_view cpuinfo);

// The largest cpufreq maximum over root/sys/devices/system/cpu/cpu<N>, else
// the largest "cpu MHz" of root/proc/cpuinfo; 0 when neither gives one.
int32_t ReportedClockMHz(const std::filesystem::path& root);

}  // namespace lv
