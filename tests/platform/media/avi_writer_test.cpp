#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>

#include <sys/resource.h>
#include <sys/wait.h>

#include "encoded_clips.h"
#include "media_test_support.h"
#include "platform/media/video_encoders.h"
#include "platform/media/video_file_writer.h"
#include "platform/media/video_stream_reader.h"

namespace media {
namespace {

using testing::FrameColours;
using testing::Picture;
using testing::QuadrantDifference;
using testing::ScratchFolder;

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Writes `frames` frames of FrameColours(i) and closes the file.
void WriteTestFile(const std::string& path, const VideoFileFormat& format, const CompressorChoice& choice,
                   int frames, PixelOrder order = PixelOrder::BGRX, int padding = 0) {
  std::string error;
  auto writer = CreateAviWriter(path, format, choice, &error);
  ASSERT_TRUE(writer) << error;
  Picture picture(format.width, format.height, padding);
  for (int i = 0; i < frames; ++i) {
    picture.Paint(FrameColours(i), order);
    ASSERT_TRUE(writer->WriteFrame(picture.bytes.data(), picture.stride, order)) << writer->LastError();
  }
  EXPECT_EQ(writer->FramesWritten(), frames);
  ASSERT_TRUE(writer->Close()) << writer->LastError();
  EXPECT_GT(writer->BytesWritten(), 0);
}

// Every frame of the file read back against FrameColours(i).
void ExpectFramesRead(const std::string& path, int width, int height, int frames, int tolerance) {
  std::string error;
  auto reader = OpenVideoStream(path, &error);
  ASSERT_TRUE(reader) << error;
  EXPECT_EQ(reader->Info().width, width);
  EXPECT_EQ(reader->Info().height, height);
  ASSERT_EQ(reader->Info().frameCount, frames);
  Picture picture(width, height);
  for (int i = 0; i < frames; ++i) {
    ASSERT_TRUE(reader->ReadFrame(i, picture.bytes.data(), picture.stride)) << "frame " << i;
    EXPECT_LE(QuadrantDifference(picture, FrameColours(i), 8), tolerance) << "frame " << i;
    EXPECT_EQ(picture.At(width - 1, height - 1)[3], 255);
  }
}

TEST(VideoEncoders, ListsUncompressedFirstAndTheCommonCompressors) {
  const auto& encoders = AvailableVideoEncoders();
  ASSERT_FALSE(encoders.empty());
  EXPECT_EQ(encoders.front().name, "rawvideo");
  for (const char* name : {"mjpeg", "mpeg4", "ffv1"}) EXPECT_TRUE(FindVideoEncoder(name)) << name;
  EXPECT_EQ(FindVideoEncoder("no-such-codec"), nullptr);
  EXPECT_EQ(CompressorChoice{}.encoder, "rawvideo");
  EXPECT_EQ(CompressorChoice{}.quality, -1);
}

class EveryEncoder : public ::testing::TestWithParam<std::string> {};

// 854 is a width whose 24-bit rows are not a multiple of 4 bytes: a writer
// that ignores the codec's row stride shears the picture.
TEST_P(EveryEncoder, WritesFramesThatDecodeUprightAndUnsheared) {
  const VideoEncoderInfo* info = FindVideoEncoder(GetParam());
  ASSERT_TRUE(info);
  ScratchFolder folder;
  const std::string path = folder.File("out.avi");
  const VideoFileFormat format{854, 48, {30000, 1001}};
  CompressorChoice choice;
  choice.encoder = GetParam();
  WriteTestFile(path, format, choice, 5);
  ExpectFramesRead(path, 854, 48, 5, info->lossless ? 0 : 24);
}

// The caller's rows are all the writer may read: rows that end where memory
// ends, and bytes between them that must not show up in the picture.
TEST_P(EveryEncoder, ReadsOnlyTheCallersRows) {
  const VideoEncoderInfo* info = FindVideoEncoder(GetParam());
  ASSERT_TRUE(info);
  const int width = 322, height = 242;
  for (int padding : {0, 20}) {
    SCOPED_TRACE(padding);
    ScratchFolder folder;
    const std::string path = folder.File("rows.avi");
    std::string error;
    auto writer = CreateAviWriter(path, {width, height, {25, 1}}, CompressorChoice{GetParam()}, &error);
    ASSERT_TRUE(writer) << error;
    Picture picture(width, height);
    testing::GuardedRows rows(width, height, width * 4 + padding);
    for (int i = 0; i < 3; ++i) {
      picture.Paint(FrameColours(i), PixelOrder::RGBX);
      rows.Fill(picture);
      ASSERT_TRUE(writer->WriteFrame(rows.Pixels(), rows.Pitch(), PixelOrder::RGBX)) << writer->LastError();
    }
    ASSERT_TRUE(writer->Close()) << writer->LastError();
    ExpectFramesRead(path, width, height, 3, info->lossless ? 0 : 24);
  }
}

std::vector<std::string> EncoderNames() {
  std::vector<std::string> names;
  for (const auto& info : AvailableVideoEncoders()) names.push_back(info.name);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Avi, EveryEncoder, ::testing::ValuesIn(EncoderNames()),
                         [](const auto& param) { return param.param; });

struct UncompressedCase {
  int width, height, padding;
  PixelOrder order;
};

TEST(AviWriter, UncompressedFramesAreExactForAnyWidthOrderAndPitch) {
  const UncompressedCase cases[] = {
      {854, 48, 0, PixelOrder::BGRX},
      {1366, 30, 0, PixelOrder::RGBX},
      {853, 31, 12, PixelOrder::BGRX},  // one byte of row padding, odd height, a padded source
      {3, 2, 4, PixelOrder::RGBX},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
    ScratchFolder folder;
    const std::string path = folder.File("raw.avi");
    WriteTestFile(path, {c.width, c.height, {30000, 1001}}, CompressorChoice{}, 3, c.order, c.padding);
    ExpectFramesRead(path, c.width, c.height, 3, 0);
  }
}

// The stored format is a 24-bit bitmap header as other AVI readers expect it:
// positive height (bottom row first) and the size of rows padded to 4 bytes.
TEST(AviWriter, UncompressedFormatIsABottomUpBitmapWithPaddedRows) {
  ScratchFolder folder;
  const std::string path = folder.File("raw.avi");
  WriteTestFile(path, {854, 48, {2997, 100}}, CompressorChoice{}, 2);
  const std::string file = ReadWholeFile(path);
  size_t at = file.find("strf");
  ASSERT_NE(at, std::string::npos);
  auto u32 = [&](size_t offset) {
    uint32_t v;
    std::memcpy(&v, file.data() + at + 8 + offset, 4);
    return v;
  };
  auto u16 = [&](size_t offset) {
    uint16_t v;
    std::memcpy(&v, file.data() + at + 8 + offset, 2);
    return v;
  };
  EXPECT_EQ(u32(0), 40u);         // header size
  EXPECT_EQ(u32(4), 854u);        // width
  EXPECT_EQ(u32(8), 48u);         // height, positive
  EXPECT_EQ(u16(12), 1);          // planes
  EXPECT_EQ(u16(14), 24);         // bits per pixel
  EXPECT_EQ(u32(16), 0u);         // uncompressed
  EXPECT_EQ(u32(20), 2564u * 48);  // (854 * 3 + 3) & ~3 bytes per row
}

TEST(AviWriter, KeepsTheFrameRateAsAFraction) {
  const Rational rates[] = {{30000, 1001}, {2997, 100}, {25, 1}};
  for (const Rational& rate : rates) {
    ScratchFolder folder;
    const std::string path = folder.File("rate.avi");
    CompressorChoice choice;
    choice.encoder = "mjpeg";
    WriteTestFile(path, {64, 32, rate}, choice, 2);
    auto reader = OpenVideoStream(path, nullptr);
    ASSERT_TRUE(reader);
    EXPECT_EQ(static_cast<int64_t>(reader->Info().frameRate.num) * rate.den,
              static_cast<int64_t>(rate.num) * reader->Info().frameRate.den)
        << rate.num << "/" << rate.den;
  }
}

TEST(AviWriter, QualityAndKeyFrameSettingsAreApplied) {
  ScratchFolder folder;
  Picture picture(320, 240);
  picture.Paint(FrameColours(0), PixelOrder::BGRX, 40);
  auto sizeWith = [&](int quality, int keyFrameEvery) -> int64_t {
    auto writer = CreateAviWriter(folder.File("q.avi"), {320, 240, {25, 1}},
                                  CompressorChoice{"mpeg4", quality, keyFrameEvery, 0}, nullptr);
    if (!writer) return -1;
    for (int i = 0; i < 12; ++i) writer->WriteFrame(picture.bytes.data(), picture.stride, PixelOrder::BGRX);
    return writer->Close() ? writer->BytesWritten() : -1;
  };
  EXPECT_GT(sizeWith(100, 0), 2 * sizeWith(0, 0));
  EXPECT_GT(sizeWith(50, 1), 2 * sizeWith(50, 100));  // every frame a key frame costs more
}

TEST(AviWriter, RefusesWhatItCannotWrite) {
  ScratchFolder folder;
  std::string error;
  EXPECT_FALSE(CreateAviWriter(folder.File("missing/out.avi"), {64, 32}, {}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(CreateAviWriter(folder.File("a.avi"), {0, 32}, {}, &error));
  EXPECT_FALSE(CreateAviWriter(folder.File("b.avi"), {64, 32, {0, 1}}, {}, &error));
  EXPECT_FALSE(CreateAviWriter(folder.File("c.avi"), {64, 32}, CompressorChoice{"no-such-codec"}, &error));
  EXPECT_NE(error.find("no-such-codec"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));

  auto writer = CreateAviWriter(folder.File("d.avi"), {64, 32}, {}, &error);
  ASSERT_TRUE(writer);
  Picture small(32, 32);
  EXPECT_FALSE(writer->WriteFrame(small.bytes.data(), small.stride, PixelOrder::BGRX));
  EXPECT_FALSE(writer->WriteFrame(nullptr, 256, PixelOrder::BGRX));
  EXPECT_TRUE(writer->Close());  // a refused frame writes nothing, the file stays sound
  EXPECT_FALSE(writer->WriteFrame(small.bytes.data(), 256, PixelOrder::BGRX));
}

TEST(AviWriter, AnUnfinishedFileNeverReplacesTheTarget) {
  ScratchFolder folder;
  const std::string path = folder.File("show.avi");
  std::ofstream(path) << "the user's old file";
  {
    auto writer = CreateAviWriter(path, {64, 32}, {}, nullptr);
    ASSERT_TRUE(writer);
    Picture picture(64, 32);
    picture.Paint(FrameColours(0), PixelOrder::BGRX);
    ASSERT_TRUE(writer->WriteFrame(picture.bytes.data(), picture.stride, PixelOrder::BGRX));
  }  // abandoned without Close
  EXPECT_EQ(ReadWholeFile(path), "the user's old file");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

  WriteTestFile(path, {64, 32}, {}, 1);
  ExpectFramesRead(path, 64, 32, 1, 0);
}

// A disk that fills up mid-render: the write or the close fails, Close says
// so, and nothing is left under the target name. Run in a child process whose
// file size limit stands in for the full disk.
TEST(AviWriter, AFailedWriteMakesCloseFailAndLeavesNoFile) {
  ScratchFolder folder;
  const std::string path = folder.File("full.avi");
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{256 * 1024, 256 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    auto writer = CreateAviWriter(path, {854, 48}, {}, nullptr);
    if (!writer) _exit(2);
    Picture picture(854, 48);
    for (int i = 0; i < 8; ++i) writer->WriteFrame(picture.bytes.data(), picture.stride, PixelOrder::BGRX);
    bool closed = writer->Close();
    _exit(closed ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "Close reported a truncated file as written";
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

}  // namespace
}  // namespace media
