#include <gtest/gtest.h>

#include <cmath>

#include "avi_fixture.h"
#include "platform/media/audio_stream_reader.h"
#include "platform/media/video_stream_reader.h"

namespace media {
namespace {

using testing::AviFixture;
using testing::BuildAvi;
using testing::FrameColours;
using testing::ScratchFolder;

// One second of stereo: 441 Hz on the left, 882 Hz on the right, beside 25
// frames of video, in chunks of 2205 samples.
AviFixture ToneFixture() {
  AviFixture f;
  for (int i = 0; i < 25; ++i) f.frames.push_back(FrameColours(i));
  f.sampleRate = 22050;
  f.channels = 2;
  for (int n = 0; n < 22050; ++n) {
    double t = n / 22050.0;
    f.samples.push_back(static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 441 * t))));
    f.samples.push_back(static_cast<int16_t>(std::lround(9000 * std::sin(2 * M_PI * 882 * t))));
  }
  return f;
}

class AudioStreamReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture_ = ToneFixture();
    path_ = folder_.File("tone.avi");
    testing::WriteFile(path_, BuildAvi(fixture_));
  }

  std::vector<int16_t> Expected(int64_t first, int64_t count) const {
    return std::vector<int16_t>(fixture_.samples.begin() + first * 2, fixture_.samples.begin() + (first + count) * 2);
  }

  ScratchFolder folder_;
  AviFixture fixture_;
  std::string path_;
};

TEST_F(AudioStreamReaderTest, ReadsTheToneBackSampleForSample) {
  AudioOpenResult result;
  std::string error;
  auto audio = OpenAudioStream(path_, &result, &error);
  ASSERT_TRUE(audio) << error;
  EXPECT_EQ(result, AudioOpenResult::Opened);
  EXPECT_EQ(audio->Info().sampleRate, 22050);
  EXPECT_EQ(audio->Info().channels, 2);
  EXPECT_EQ(audio->Info().bitsPerSample, 16);
  EXPECT_EQ(audio->Info().blockAlign, 4);
  EXPECT_EQ(audio->Info().length, 22050);

  std::vector<int16_t> all(22050 * 2);
  EXPECT_EQ(audio->Read(0, 22050, all.data()), 22050);
  EXPECT_EQ(all, fixture_.samples);
}

// Reads at any position, across chunk boundaries, backwards and at the end;
// the video reader of the same file does not disturb the audio position.
TEST_F(AudioStreamReaderTest, ReadsAtAnyPositionBesideTheVideo) {
  auto audio = OpenAudioStream(path_, nullptr, nullptr);
  auto video = OpenVideoStream(path_, nullptr);
  ASSERT_TRUE(audio && video);
  testing::Picture picture(video->Info().width, video->Info().height);
  struct Case {
    int64_t first, count, expected;
  } cases[] = {
      {10000, 500, 500}, {10500, 5000, 5000}, {2204, 3, 3}, {0, 10, 10},
      {22000, 100, 50},  {22050, 10, 0},      {-1, 10, 0},  {4410, 2205, 2205},
  };
  int frame = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    ASSERT_TRUE(video->ReadFrame(frame++ % 25, picture.bytes.data(), picture.stride));
    std::vector<int16_t> got(c.count * 2, 0x7777);
    ASSERT_EQ(audio->Read(c.first, c.count, got.data()), c.expected);
    got.resize(c.expected * 2);
    if (c.expected > 0) {
      EXPECT_EQ(got, Expected(c.first, c.expected));
    }
  }
}

TEST_F(AudioStreamReaderTest, TellsASilentFileFromABrokenOne) {
  AviFixture silent;
  silent.frames = {FrameColours(0)};
  const std::string silentPath = folder_.File("silent.avi");
  testing::WriteFile(silentPath, BuildAvi(silent));
  AudioOpenResult result = AudioOpenResult::Opened;
  EXPECT_FALSE(OpenAudioStream(silentPath, &result, nullptr));
  EXPECT_EQ(result, AudioOpenResult::NoAudioStream);

  std::string error;
  EXPECT_FALSE(OpenAudioStream(folder_.File("missing.avi"), &result, &error));
  EXPECT_EQ(result, AudioOpenResult::Failed);
  EXPECT_FALSE(error.empty());

  AviFixture badFormat = ToneFixture();
  badFormat.sampleRate = 0;
  const std::string badPath = folder_.File("bad.avi");
  testing::WriteFile(badPath, BuildAvi(badFormat));
  EXPECT_FALSE(OpenAudioStream(badPath, &result, &error));
  EXPECT_NE(result, AudioOpenResult::Opened);
}

}  // namespace
}  // namespace media
