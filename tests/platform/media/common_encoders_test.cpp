#include <gtest/gtest.h>

#include "encoded_clips.h"
#include "platform/media/video_stream_reader.h"

namespace media {
namespace {

using testing::ClipRecipe;
using testing::Frame;
using testing::GuardedRows;
using testing::kClipFrames;
using testing::kClipHeight;
using testing::kClipWidth;
using testing::ScratchFolder;

class CommonEncoder : public ::testing::TestWithParam<ClipRecipe> {
 protected:
  void SetUp() override {
    path_ = folder_.File("clip.avi");
    std::string failure = testing::WriteClip(path_, GetParam());
    ASSERT_TRUE(failure.empty()) << failure;
    expected_ = testing::DecodeClip(path_);
    ASSERT_EQ(expected_.size(), static_cast<size_t>(kClipFrames));
    std::string error;
    reader_ = OpenVideoStream(path_, &error);
    ASSERT_TRUE(reader_) << error;
  }

  // Reads frame `index` into guarded rows `pitch` bytes apart and checks it
  // against FFmpeg's own decode of that frame.
  void ExpectFrame(int64_t index, int pitch) {
    GuardedRows rows(kClipWidth, kClipHeight, pitch);
    ASSERT_TRUE(reader_->ReadFrame(index, rows.Pixels(), rows.Pitch())) << "frame " << index;
    EXPECT_EQ(rows.Trampled(), 0) << "frame " << index << " written outside its rows";
    EXPECT_TRUE(rows.Rows() == expected_[index]) << "frame " << index << " is not FFmpeg's frame " << index;
  }

  ScratchFolder folder_;
  std::string path_;
  std::vector<Frame> expected_;
  std::unique_ptr<VideoStreamReader> reader_;
};

TEST_P(CommonEncoder, EveryFrameInOrderIsTheDecodersFrame) {
  EXPECT_EQ(reader_->Info().width, kClipWidth);
  EXPECT_EQ(reader_->Info().height, kClipHeight);
  ASSERT_EQ(reader_->Info().frameCount, kClipFrames);
  for (int i = 0; i < kClipFrames; ++i) ExpectFrame(i, kClipWidth * 4);
}

// Forwards and back, across key frames and into the frames that an open
// group of pictures shows before its key frame (10 and 11 before 12); the
// reads a step or two ahead decode on, the others seek.
TEST_P(CommonEncoder, SeeksGiveTheFrameAskedFor) {
  const int pitch = kClipWidth * 4 + 20;  // a lock's pitch, wider than the row
  for (int index : {15, 16, 10, kClipFrames - 1, 2, 0, 24, 23, 11, 12}) {
    SCOPED_TRACE(index);
    ExpectFrame(index, pitch);
  }
}

INSTANTIATE_TEST_SUITE_P(Avi, CommonEncoder, ::testing::ValuesIn(testing::CommonClips()),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace media
