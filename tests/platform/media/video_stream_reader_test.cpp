#include <gtest/gtest.h>

#include <filesystem>

#include "avi_fixture.h"
#include "media_test_support.h"
#include "platform/media/video_file_writer.h"
#include "platform/media/video_stream_reader.h"

namespace media {
namespace {

using testing::AviFixture;
using testing::BuildAvi;
using testing::ClosestFrame;
using testing::FrameColours;
using testing::Picture;
using testing::QuadrantDifference;
using testing::ScratchFolder;

void WriteFrames(const std::string& path, int width, int height, int frames, const CompressorChoice& choice) {
  std::string error;
  auto writer = CreateAviWriter(path, {width, height, {25, 1}}, choice, &error);
  ASSERT_TRUE(writer) << error;
  Picture picture(width, height);
  for (int i = 0; i < frames; ++i) {
    picture.Paint(FrameColours(i), PixelOrder::BGRX);
    ASSERT_TRUE(writer->WriteFrame(picture.bytes.data(), picture.stride, PixelOrder::BGRX));
  }
  ASSERT_TRUE(writer->Close()) << writer->LastError();
}

// Files from the classic Windows writer store 24-bit frames bottom row first
// with rows padded to 4 bytes (18 pixels: 54 bytes + 2).
TEST(VideoStreamReader, ReadsClassicBottomUpFramesUpright) {
  ScratchFolder folder;
  AviFixture fixture;
  fixture.width = 18;
  fixture.height = 6;
  for (int i = 0; i < 4; ++i) fixture.frames.push_back(FrameColours(i));
  const std::string path = folder.File("classic.avi");
  testing::WriteFile(path, BuildAvi(fixture));

  std::string error;
  auto reader = OpenVideoStream(path, &error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->Info().width, 18);
  EXPECT_EQ(reader->Info().height, 6);
  EXPECT_EQ(reader->Info().frameCount, 4);
  EXPECT_EQ(reader->Info().frameRate.num, 25);
  EXPECT_EQ(reader->Info().frameRate.den, 1);
  Picture picture(18, 6, 8);  // a destination pitch wider than its rows
  for (int i : {0, 1, 2, 3, 1}) {
    ASSERT_TRUE(reader->ReadFrame(i, picture.bytes.data(), picture.stride)) << i;
    EXPECT_EQ(QuadrantDifference(picture, FrameColours(i), 0), 0) << i;
    EXPECT_EQ(picture.bytes[18 * 4], 0x5A) << "wrote past the row";
  }
  picture.Paint(FrameColours(0), PixelOrder::RGBX);
  ASSERT_TRUE(reader->ReadFrame(2, picture.bytes.data(), picture.stride, PixelOrder::RGBX));
  const uint8_t* topLeft = picture.At(0, 0);
  EXPECT_EQ(topLeft[0], FrameColours(2).topLeft.r);
  EXPECT_EQ(topLeft[2], FrameColours(2).topLeft.b);
}

// An empty chunk stands for a frame the capture dropped: the frame before it
// shows again, and the frames after it still decode.
TEST(VideoStreamReader, ADroppedFrameRepeatsTheOneBefore) {
  ScratchFolder folder;
  AviFixture fixture;
  for (int i = 0; i < 6; ++i) fixture.frames.push_back(FrameColours(i));
  fixture.droppedFrames = {2, 3};
  const std::string path = folder.File("dropped.avi");
  testing::WriteFile(path, BuildAvi(fixture));
  auto reader = OpenVideoStream(path, nullptr);
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->Info().frameCount, 6);
  Picture picture(fixture.width, fixture.height);
  const int shown[] = {0, 1, 1, 1, 4, 5};
  for (int pass = 0; pass < 2; ++pass)  // in order, then each one by a seek from the end
    for (int i = 0; i < 6; ++i) {
      const int index = pass == 0 ? i : 5 - i;
      ASSERT_TRUE(reader->ReadFrame(index, picture.bytes.data(), picture.stride)) << index;
      EXPECT_EQ(QuadrantDifference(picture, FrameColours(shown[index]), 0), 0) << index;
    }
}

struct SeekCase {
  const char* encoder;
  int keyFrameEvery;
};

// Each read must give exactly the frame asked for, whether it is the next
// one, a repeat, a step back or a jump past several key frames.
TEST(VideoStreamReader, RandomAccessGivesTheFrameAskedFor) {
  const SeekCase cases[] = {{"mpeg4", 4}, {"libx264", 5}, {"mjpeg", 0}, {"rawvideo", 0}};
  for (const SeekCase& c : cases) {
    if (!FindVideoEncoder(c.encoder)) continue;
    SCOPED_TRACE(c.encoder);
    ScratchFolder folder;
    const std::string path = folder.File("seek.avi");
    CompressorChoice choice;
    choice.encoder = c.encoder;
    choice.keyFrameEvery = c.keyFrameEvery;
    WriteFrames(path, 96, 64, testing::kDistinctFrames, choice);
    auto reader = OpenVideoStream(path, nullptr);
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->Info().frameCount, testing::kDistinctFrames);
    Picture picture(96, 64);
    for (int i : {12, 0, 6, 7, 2, 2, 11, 4, 5, 3, 9, 1}) {
      ASSERT_TRUE(reader->ReadFrame(i, picture.bytes.data(), picture.stride)) << i;
      EXPECT_EQ(ClosestFrame(picture), i);
      EXPECT_LE(QuadrantDifference(picture, FrameColours(i), 8), 10) << i;
    }
  }
}

TEST(VideoStreamReader, RefusesFramesOutOfRangeAndShortPitches) {
  ScratchFolder folder;
  const std::string path = folder.File("two.avi");
  WriteFrames(path, 32, 16, 2, CompressorChoice{});
  auto reader = OpenVideoStream(path, nullptr);
  ASSERT_TRUE(reader);
  Picture picture(32, 16);
  EXPECT_FALSE(reader->ReadFrame(-1, picture.bytes.data(), picture.stride));
  EXPECT_FALSE(reader->ReadFrame(2, picture.bytes.data(), picture.stride));
  EXPECT_FALSE(reader->ReadFrame(0, picture.bytes.data(), 32 * 4 - 1));
  EXPECT_FALSE(reader->ReadFrame(0, nullptr, picture.stride));
  EXPECT_TRUE(reader->ReadFrame(1, picture.bytes.data(), picture.stride));
}

// Damaged or foreign files are refused with a reason, or, when FFmpeg can
// still make sense of them, read without harm.
TEST(VideoStreamReader, DamagedFilesFailCleanly) {
  ScratchFolder folder;
  const std::string good = folder.File("good.avi");
  WriteFrames(good, 64, 32, 6, CompressorChoice{"mjpeg"});
  std::vector<uint8_t> bytes(std::filesystem::file_size(good));
  {
    std::ifstream in(good, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<uint8_t> garbage(4096);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<uint8_t>(i * 7919 >> 3);
  AviFixture noFrames;
  AviFixture zeroScale;
  zeroScale.scale = 0;
  zeroScale.frames = {FrameColours(0), FrameColours(1)};

  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    bool mustFail;
  } cases[] = {
      {"empty", {}, true},
      {"garbage", garbage, true},
      {"header only", std::vector<uint8_t>(bytes.begin(), bytes.begin() + 200), true},
      {"no frames", BuildAvi(noFrames), true},
      {"truncated", std::vector<uint8_t>(bytes.begin(), bytes.begin() + bytes.size() * 6 / 10), false},
      {"zero scale", BuildAvi(zeroScale), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.File(std::string(c.name) + ".avi");
    testing::WriteFile(path, c.bytes);
    std::string error;
    auto reader = OpenVideoStream(path, &error);
    if (c.mustFail) {
      EXPECT_FALSE(reader);
      EXPECT_FALSE(error.empty());
    }
    if (!reader) continue;
    EXPECT_GT(reader->Info().frameRate.num, 0);
    EXPECT_GT(reader->Info().frameRate.den, 0);
    Picture picture(reader->Info().width, reader->Info().height);
    for (int64_t i = reader->Info().frameCount - 1; i >= 0; --i)
      reader->ReadFrame(i, picture.bytes.data(), picture.stride);
  }
  std::string error;
  EXPECT_FALSE(OpenVideoStream(folder.File("missing.avi"), &error));
  EXPECT_NE(error.find("missing.avi"), std::string::npos);
}

}  // namespace
}  // namespace media
