#include "platform/audio/file_wave_in.h"

#include <gtest/gtest.h>

#include <cstring>

#include "wave_in_support.h"

using audio::FilePacing;
using audio::FileWaveInDevices;
using audio::WaveHeader;
using namespace wavtest;

namespace {

// ctest runs the cases side by side, so each has a file of its own.
class FileWaveInTest : public ::testing::Test {
 protected:
  std::string name_ = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".wav";
  std::string path_ = ::testing::TempDir() + name_;
};

TEST_F(FileWaveInTest, OffersTheFileAsOneDeviceWithItsStereoFormat) {
  struct Case { uint32_t rate; uint16_t channels; uint32_t formats; };
  for (Case c : {Case{44100, 2, audio::kFormat4S16}, Case{44100, 1, audio::kFormat4S16},
                 Case{22050, 2, audio::kFormat2S16}, Case{48000, 2, 0u}}) {
    WavSpec spec;
    spec.rate = c.rate;
    spec.channels = c.channels;
    spec.samples = Ramp(10, c.channels);
    wavtest::WriteWav(path_, spec);
    FileWaveInDevices devices(path_, FilePacing::OnDemand);
    ASSERT_EQ(devices.GetNumDevs(), 1u) << c.rate;
    audio::WaveInCaps caps;
    ASSERT_TRUE(devices.GetDevCaps(0, &caps));
    EXPECT_EQ(caps.productName, name_.substr(0, audio::kMaxProductName));
    EXPECT_EQ(caps.formats, c.formats) << c.rate << " Hz, " << c.channels << " channels";
    EXPECT_FALSE(devices.GetDevCaps(1, &caps));
  }
}

TEST_F(FileWaveInTest, UnreadableFilesListNoDeviceAndOpenNothing) {
  struct Case { const char* what; std::vector<uint8_t> bytes; };
  WavSpec good;
  good.samples = Ramp(8, 2);
  auto with = [&](auto change) { WavSpec s = good; change(s); return wavtest::WavBytes(s); };
  std::vector<uint8_t> truncated = wavtest::WavBytes(good);
  truncated.resize(30);  // inside the format chunk
  std::vector<uint8_t> noData = wavtest::WavBytes(good);
  noData.resize(36);     // format chunk only
  std::vector<uint8_t> notRiff = wavtest::WavBytes(good);
  std::memcpy(notRiff.data(), "RIFX", 4);
  const Case cases[] = {
      {"empty", {}},
      {"not RIFF", notRiff},
      {"truncated format", truncated},
      {"no data chunk", noData},
      {"8-bit", with([](WavSpec& s) { s.bits = 8; })},
      {"float", with([](WavSpec& s) { s.formatTag = 3; s.bits = 32; })},
      {"three channels", with([](WavSpec& s) { s.channels = 3; s.samples.resize(9); })},
      {"zero rate", with([](WavSpec& s) { s.rate = 0; })},
  };
  for (const Case& c : cases) {
    wavtest::WriteFile(path_, c.bytes);
    FileWaveInDevices devices(path_, FilePacing::OnDemand);
    audio::WaveInCaps caps;
    EXPECT_EQ(devices.GetNumDevs(), 0u) << c.what;
    EXPECT_FALSE(devices.GetDevCaps(0, &caps)) << c.what;
    EXPECT_EQ(devices.Open(0, {}, [](WaveHeader*) {}), nullptr) << c.what;
  }
  FileWaveInDevices missing(::testing::TempDir() + "no_such_file.wav", FilePacing::OnDemand);
  EXPECT_EQ(missing.GetNumDevs(), 0u);
}

TEST_F(FileWaveInTest, OpensOnlyAtTheFilesRateIn16BitStereo) {
  WavSpec spec;
  spec.samples = Ramp(10, 2);
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  auto ignore = [](WaveHeader*) {};
  EXPECT_NE(devices.Open(0, {2, 44100, 16}, ignore), nullptr);
  EXPECT_EQ(devices.Open(0, {2, 22050, 16}, ignore), nullptr);
  EXPECT_EQ(devices.Open(0, {1, 44100, 16}, ignore), nullptr);
  EXPECT_EQ(devices.Open(0, {2, 44100, 8}, ignore), nullptr);
  EXPECT_EQ(devices.Open(1, {2, 44100, 16}, ignore), nullptr);
}

TEST_F(FileWaveInTest, OnDemandFillsQueuedBuffersInOrderUntilTheSoundEnds) {
  WavSpec spec;
  spec.samples = Ramp(1300, 2);  // two full buffers of 512 frames and 276 frames
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  Returned returned;
  auto in = devices.Open(0, {}, returned.Callback());
  ASSERT_NE(in, nullptr);
  Buffer b[4];
  for (Buffer& x : b) in->AddBuffer(&x.header);
  EXPECT_FALSE(devices.DeliverNextBuffer()) << "not started";
  ASSERT_TRUE(in->Start());
  EXPECT_TRUE(devices.DeliverNextBuffer());
  EXPECT_TRUE(devices.DeliverNextBuffer());
  EXPECT_TRUE(devices.DeliverNextBuffer());
  EXPECT_FALSE(devices.DeliverNextBuffer()) << "the sound has ended";
  ASSERT_EQ(returned.headers.size(), 3u);
  EXPECT_EQ(returned.headers[0], &b[0].header);
  EXPECT_EQ(returned.headers[2], &b[2].header);
  EXPECT_EQ(b[0].header.bytesRecorded, 2048u);
  EXPECT_EQ(b[2].header.bytesRecorded, 276u * 4);
  EXPECT_EQ(b[0].Left(0), 0);
  EXPECT_EQ(b[1].Left(0), 512);
  EXPECT_EQ(b[1].Right(0), -512);
  EXPECT_EQ(b[2].Left(275), 1299);

  in->Reset();  // the last queued buffer comes back empty
  ASSERT_EQ(returned.headers.size(), 4u);
  EXPECT_EQ(returned.headers[3], &b[3].header);
  EXPECT_EQ(b[3].header.bytesRecorded, 0u);
}

TEST_F(FileWaveInTest, MonoSamplesGoToBothChannels) {
  WavSpec spec;
  spec.channels = 1;
  spec.samples = Ramp(600, 1);
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  Returned returned;
  auto in = devices.Open(0, {}, returned.Callback());
  ASSERT_NE(in, nullptr);
  Buffer b[2];
  in->AddBuffer(&b[0].header);
  in->AddBuffer(&b[1].header);
  in->Start();
  ASSERT_TRUE(devices.DeliverNextBuffer());
  ASSERT_TRUE(devices.DeliverNextBuffer());
  EXPECT_EQ(b[0].Left(511), 511);
  EXPECT_EQ(b[0].Right(511), 511);
  EXPECT_EQ(b[1].header.bytesRecorded, 88u * 4);
  EXPECT_EQ(b[1].Right(87), 599);
}

TEST_F(FileWaveInTest, ToleratesPaddedChunksExtensibleFormatAndAnOverlongDataLength) {
  WavSpec spec;
  spec.samples = Ramp(100, 2);
  spec.oddChunkFirst = true;
  spec.extensible = true;
  spec.dataSizeOverride = 0xFFFFFFFF;
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  Returned returned;
  auto in = devices.Open(0, {}, returned.Callback());
  ASSERT_NE(in, nullptr);
  Buffer b;
  in->AddBuffer(&b.header);
  in->Start();
  ASSERT_TRUE(devices.DeliverNextBuffer());
  EXPECT_EQ(b.header.bytesRecorded, 400u);
  EXPECT_EQ(b.Left(99), 99);
}

TEST_F(FileWaveInTest, ResetStopsDeliveryAndABufferAddedAfterItWaitsForTheNextStart) {
  WavSpec spec;
  spec.samples = Ramp(5000, 2);
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  Returned returned;
  auto in = devices.Open(0, {}, returned.Callback());
  Buffer b[3];
  in->AddBuffer(&b[0].header);
  in->AddBuffer(&b[1].header);
  in->Start();
  in->Reset();
  ASSERT_EQ(returned.headers.size(), 2u);
  EXPECT_EQ(returned.headers[0], &b[0].header);
  EXPECT_EQ(returned.headers[1], &b[1].header);

  in->AddBuffer(&b[2].header);
  EXPECT_FALSE(devices.DeliverNextBuffer());
  EXPECT_EQ(returned.headers.size(), 2u);
  in->Start();
  EXPECT_TRUE(devices.DeliverNextBuffer());
  EXPECT_EQ(returned.headers.size(), 3u);
  EXPECT_EQ(b[2].Left(0), 0) << "nothing was read while stopped";
}

TEST_F(FileWaveInTest, DeliveryEndsWhenTheDeviceCloses) {
  WavSpec spec;
  spec.samples = Ramp(5000, 2);
  wavtest::WriteWav(path_, spec);
  FileWaveInDevices devices(path_, FilePacing::OnDemand);
  Buffer b;
  {
    auto in = devices.Open(0, {}, [](WaveHeader*) {});
    in->AddBuffer(&b.header);
    in->Start();
  }
  EXPECT_FALSE(devices.DeliverNextBuffer());
}

}  // namespace
