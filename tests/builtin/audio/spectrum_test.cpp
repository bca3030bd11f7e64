#include "audio/spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBinHz = 44100.0 / 2048.0;

std::vector<float> Sine(double hz, double amplitude) {
  std::vector<float> s(Spectrum::kInputLength);
  for (int i = 0; i < Spectrum::kInputLength; ++i)
    s[i] = static_cast<float>(amplitude * std::sin(2 * kPi * hz * i / 44100.0));
  return s;
}

int PeakBin(const std::vector<float>& spectrum) {
  return static_cast<int>(std::max_element(spectrum.begin(), spectrum.end()) - spectrum.begin());
}

TEST(Spectrum, TablesHoldTheValuesRecordedSpectraWereMadeWith) {
  Spectrum s;
  s.Init();
  EXPECT_EQ(s.bitReverse(0), 0);
  EXPECT_EQ(s.bitReverse(1), 1024);
  EXPECT_EQ(s.bitReverse(3), 1536);
  EXPECT_EQ(s.bitReverse(2047), 2047);
  EXPECT_NEAR(s.window(0), 0.0f, 1e-6);
  EXPECT_NEAR(s.window(1023), 0.9999986f, 1e-6);
  EXPECT_NEAR(s.weight(1), 1.954e-5f, 1e-8);
  EXPECT_EQ(s.weight(0), s.weight(1));
  EXPECT_NEAR(s.weight(512), 0.0138629f, 1e-7);
  EXPECT_NEAR(s.weight(1023), 0.1386294f, 1e-7);
}

// A sine at a known frequency peaks in the bin nearest to it. A sine in the
// middle of a bin also gives the expected height: half its amplitude times
// the window's sum, times the bin's weight.
TEST(Spectrum, SinePeaksInItsBin) {
  struct Case { double hz; int bin; };
  const Case cases[] = {{8 * kBinHz, 8}, {440.0, 20}, {1000.0, 46}, {5000.0, 232},
                        {15000.0, 697}, {1000 * kBinHz, 1000}};
  Spectrum s;
  s.Init();
  double windowSum = 0;
  for (int i = 0; i < Spectrum::kInputLength; ++i) windowSum += s.window(i);
  for (const Case& c : cases) {
    std::vector<float> out(Spectrum::kOutputLength);
    s.Transform(Sine(c.hz, 0.8).data(), out.data());
    EXPECT_EQ(PeakBin(out), c.bin) << c.hz << " Hz";
  }
  for (int bin : {8, 1000}) {
    std::vector<float> out(Spectrum::kOutputLength);
    s.Transform(Sine(bin * kBinHz, 0.8).data(), out.data());
    EXPECT_NEAR(out[bin], 0.4 * windowSum * s.weight(bin), 0.005 * out[bin]) << "bin " << bin;
  }
}

TEST(Spectrum, SilenceGivesZerosAndMissingTablesLeaveTheOutputAlone) {
  Spectrum s;
  std::vector<float> silence(Spectrum::kInputLength, 0.0f);
  std::vector<float> out(Spectrum::kOutputLength, 7.0f);
  s.Transform(silence.data(), out.data());
  EXPECT_EQ(out[0], 7.0f) << "before Init";
  s.Init();
  s.Transform(silence.data(), out.data());
  EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
  s.Free();
  std::fill(out.begin(), out.end(), 7.0f);
  s.Transform(Sine(1000, 1).data(), out.data());
  EXPECT_EQ(out[46], 7.0f) << "after Free";
}

}  // namespace
