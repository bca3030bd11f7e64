#include <gtest/gtest.h>

#include <cstdlib>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "platform/capture/video_device.h"

namespace {

using capture::VideoFormat;

// Keeps the first frame and counts them all.
class CollectingSink final : public capture::FrameSink {
 public:
  void DeliverFrame(const capture::Frame& frame) override {
    std::lock_guard<std::mutex> hold(mutex_);
    if (count_ == 0) {
      first_.assign(frame.data, frame.data + frame.size);
      stride_ = frame.stride;
    }
    ++count_;
    arrived_.notify_all();
  }
  void WaitFor(int frames) {
    std::unique_lock<std::mutex> hold(mutex_);
    arrived_.wait(hold, [&] { return count_ >= frames; });
  }
  int Count() {
    std::lock_guard<std::mutex> hold(mutex_);
    return count_;
  }
  std::vector<uint8_t> first_;
  uint32_t stride_ = 0;

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  int count_ = 0;
};

TEST(V4l2Capture, EnumeratesWithoutCrashingAndBindsNothingOutOfRange) {
  auto system = capture::CreateV4l2CaptureSystem();
  auto names = system->Enumerate();
  ASSERT_TRUE(names.has_value());
  EXPECT_EQ(nullptr, system->Bind(static_cast<int32_t>(names->size())));
  EXPECT_EQ(nullptr, system->Bind(-1));
}

TEST(TestPatternCapture, ListedOnlyWhenAskedFor) {
  auto only = capture::CreateTestPatternSystem()->Enumerate();
  ASSERT_TRUE(only && only->size() == 1);
  EXPECT_EQ(capture::kTestPatternName, *(*only)[0]);
}

TEST(TestPatternCapture, FollowsTheSystemsDevicesWhenTheEnvironmentAsks) {
  ::setenv("LV_CAPTURE_TEST_PATTERN", "1", 1);
  auto system = capture::CreateCaptureSystem();
  ::unsetenv("LV_CAPTURE_TEST_PATTERN");
  auto names = system->Enumerate();
  ASSERT_TRUE(names && !names->empty());
  EXPECT_EQ(capture::kTestPatternName, *names->back());
  EXPECT_NE(nullptr, system->Bind(static_cast<int32_t>(names->size() - 1)));
}

TEST(TestPatternCapture, StreamsBarsInTheChosenCodingUntilStopped) {
  auto device = capture::CreateTestPatternDevice();
  VideoFormat format;
  for (const VideoFormat& f : device->Formats())
    if (f.width == 320 && f.compression == capture::kUyvy) format = f;
  ASSERT_TRUE(device->SetFormat(format));
  CollectingSink sink;
  ASSERT_TRUE(device->StartStreaming(&sink));
  EXPECT_FALSE(device->StartStreaming(&sink)) << "one streaming thread at a time";
  sink.WaitFor(2);
  device->StopStreaming();
  const int stopped = sink.Count();

  ASSERT_EQ(320u * 240u * 2u, sink.first_.size());
  EXPECT_EQ(640u, sink.stride_);
  // UYVY bytes U Y V Y: the white bar first, then red from x = 80.
  EXPECT_EQ((std::vector<uint8_t>{128, 235, 128, 235}), std::vector<uint8_t>(sink.first_.begin(), sink.first_.begin() + 4));
  EXPECT_EQ((std::vector<uint8_t>{90, 81, 240, 81}),
            std::vector<uint8_t>(sink.first_.begin() + 160, sink.first_.begin() + 164));
  EXPECT_EQ(stopped, sink.Count()) << "no frame after StopStreaming";
}

TEST(TestPatternCapture, RejectsFormatsItDoesNotOffer) {
  auto device = capture::CreateTestPatternDevice();
  VideoFormat odd;
  odd.width = 100;
  odd.height = 100;
  odd.compression = capture::kYuy2;
  EXPECT_FALSE(device->SetFormat(odd));
  EXPECT_FALSE(device->StartStreaming(nullptr));
}

}  // namespace
