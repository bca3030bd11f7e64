#include "host/lorvane_host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lv/source.h"
#include "lv/source_desc.h"
#include "modulation/audio_input.h"
#include "performer_fixture.h"
#include "registry/plug_registry.h"

namespace lvtest {
namespace {

uint32_t FakeQuery(lv::SystemInfo* info) {
  info->cpuMHz = 2400;
  info->features = lv::SystemInfo::kFeatureCpuid | lv::SystemInfo::kFeatureCmov;
  info->physicalKB = 8u << 20;
  return 0;
}

TEST(LorvaneHost, StartsWithTheSystemFactsAndRoundingToNearest) {
  lv::LorvaneHost host(FakeQuery);
  EXPECT_TRUE(host.HasCpuid());
  EXPECT_FALSE(host.HasMMX());
  EXPECT_TRUE(host.HasCMOV());
  EXPECT_EQ(host.GetCpuMHz(), 2400);
  EXPECT_EQ(host.GetMemoryKB(), 8 << 20);
  EXPECT_FALSE(host.NonPow2Supported());
  EXPECT_TRUE(host.RoundToNearestPow2());
  EXPECT_EQ(host.GetDevice(), nullptr);
  EXPECT_STREQ(host.GetVertexShaderProfile(), "");
}

TEST(LorvaneHost, TextureSizesRoundToAPowerOfTwo) {
  lv::LorvaneHost host(nullptr);
  struct Case {
    uint32_t n;
    bool powerOfTwo;
    uint32_t nearest;
    uint32_t above;
  };
  const Case cases[] = {
      {0, true, 0, 0},          {1, true, 1, 1},          {3, false, 2, 4},   // a tie goes down
      {40, false, 32, 64},      {48, false, 32, 64},      {50, false, 64, 64},
      {256, true, 256, 256},    {640, false, 512, 1024},  {1000, false, 1024, 1024},
      {0x80000000u, true, 0x80000000u, 0x80000000u},
      {0x80000001u, false, 0x80000000u, 0x80000000u},  // nothing above fits
      {0xFFFFFFFFu, false, 0x80000000u, 0x80000000u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(host.IsPowerOfTwo(c.n), c.powerOfTwo) << c.n;
    host.roundToNearestPow2 = true;
    EXPECT_EQ(host.TextureSize(c.n), c.nearest) << c.n;
    host.roundToNearestPow2 = false;
    EXPECT_EQ(host.TextureSize(c.n), c.above) << c.n;
  }
}

// A project folder holding the project file and a clip that moved with it.
class ResolvePath : public testing::Test {
 protected:
  ResolvePath() {
    folder = std::filesystem::temp_directory_path() / ("lv-resolve-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "show.lvp") << "x";
    std::ofstream(folder / "clip.avi") << "x";
    moved = (folder / "clip.avi").string();
    loading.name.Assign((folder / "show.lvp").c_str());
    host.performer = &performer;
  }
  ~ResolvePath() override { std::filesystem::remove_all(folder); }

  // Resolves `path` in a buffer of `bufferLength` (of 1024 bytes of room).
  int32_t Resolve(const std::string& path, int32_t bufferLength) {
    std::memset(buffer, '#', sizeof buffer);
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return host.ResolveFilePath(buffer, bufferLength);
  }

  std::filesystem::path folder;
  std::string moved;
  lv::Performance loading;
  lv::Performer performer;
  lv::LorvaneHost host{nullptr};
  char buffer[1024];
};

TEST_F(ResolvePath, FindsAMovedFileInTheProjectFolderOnlyWhileLoading) {
  const std::string oldPath = "C:\\Shows\\Old\\clip.avi";
  const auto found = static_cast<int32_t>(moved.size() + 1);

  EXPECT_EQ(Resolve(moved, 1024), 0);  // opens as it is
  EXPECT_EQ(std::string(buffer), moved);
  EXPECT_EQ(Resolve(oldPath, 1024), -1);  // no project is being loaded

  performer.SetPerformanceBeingLoaded(&loading);
  EXPECT_EQ(Resolve(oldPath, 1024), found);
  EXPECT_EQ(std::string(buffer), moved);
  EXPECT_EQ(Resolve("/elsewhere/clip.avi", 1024), found);
  EXPECT_EQ(Resolve("clip.avi", 1024), found);  // no folder at all
  EXPECT_EQ(Resolve("C:\\Shows\\Old\\missing.avi", 1024), -1);
  // Directories open for reading on Linux, yet are no media file.
  std::filesystem::create_directory(folder / "takes");
  EXPECT_EQ(Resolve(folder.string(), 1024), -1);
  EXPECT_EQ(Resolve("C:\\Shows\\Old\\takes", 1024), -1);

  loading.name.Assign(nullptr);  // an untitled performance
  EXPECT_EQ(Resolve(oldPath, 1024), -1);
  performer.SetPerformanceBeingLoaded(nullptr);
}

TEST_F(ResolvePath, APathThatDoesNotFitLeavesTheBufferAlone) {
  performer.SetPerformanceBeingLoaded(&loading);
  const std::string oldPath = "C:\\Shows\\Old\\clip.avi";
  const auto found = static_cast<int32_t>(moved.size() + 1);
  struct Case {
    int32_t bufferLength;
    bool written;
  };
  const Case cases[] = {{found + 10, true}, {found, true}, {found - 1, false}, {1, false}, {0, false}, {-5, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(Resolve(oldPath, c.bufferLength), found) << c.bufferLength;
    EXPECT_EQ(std::string(buffer), c.written ? moved : oldPath) << c.bufferLength;
  }
  performer.SetPerformanceBeingLoaded(nullptr);
}

using HostControllers = PerformerTest;

TEST_F(HostControllers, AreThePerformersTableAndClock) {
  lv::LorvaneHost host(nullptr);
  EXPECT_EQ(host.GetController(0, 7), 0);  // no Performer yet
  host.performer = &performer;
  Play();
  Pass({Message(0xB1, 7, 100), Message(0xE0, 0x05, 0x40), Message(0xF8), Message(0xF8)});
  EXPECT_EQ(host.GetController(1, 7), 100);
  EXPECT_EQ(host.GetController(0, 123), 0x40);
  EXPECT_EQ(host.GetController(0, 124), 0x05);
  EXPECT_EQ(host.GetMidiClock(), 2u);
  EXPECT_EQ(host.GetController(16, 7), 0);
  EXPECT_EQ(host.GetController(1, 128), 0);
  EXPECT_EQ(host.GetController(255, 255), 0);
  Pass({Message(0xFA)});
  EXPECT_EQ(host.GetMidiClock(), 0u);
}

class FixedAudio : public lv::AudioInput {
 public:
  FixedAudio() {
    for (int i = 0; i < kSpectrumLength; ++i) spectrum[i] = static_cast<float>(i);
  }
  void ProcessPass() override {}
  const float* Spectrum() const override { return spectrum; }
  float BandLevel(int band) const override { return band >= 0 && band < kBandCount ? 0.1f * (band + 1) : 0.0f; }
  float Level() const override { return 99.0f; }
  float Beat() const override { return beat; }

  float spectrum[kSpectrumLength];
  float beat = 0.0f;
};

TEST(LorvaneHost, AudioValuesComeFromTheAudioInputOrReadZero) {
  lv::LorvaneHost host(nullptr);
  EXPECT_EQ(host.GetSpectrumLength(), 1024);
  EXPECT_EQ(host.GetNumBands(), 6);
  ASSERT_NE(host.GetSpectrum(), nullptr);
  EXPECT_EQ(host.GetSpectrum()[1023], 0.0f);
  EXPECT_EQ(host.GetLevel(), 0.0f);
  EXPECT_FALSE(host.GetBeat());

  FixedAudio audio;
  host.audioInput = &audio;
  EXPECT_EQ(host.GetSpectrum()[1023], 1023.0f);
  EXPECT_FLOAT_EQ(host.GetBandLevel(5), 0.6f);
  EXPECT_EQ(host.GetBandLevel(6), 0.0f);
  EXPECT_EQ(host.GetBandLevel(-1), 0.0f);
  EXPECT_FLOAT_EQ(host.GetLevel(), 0.1f);  // band 0, not the overall level
  EXPECT_FALSE(host.GetBeat());
  audio.beat = 1.0f;
  EXPECT_TRUE(host.GetBeat());
}

}  // namespace
}  // namespace lvtest
