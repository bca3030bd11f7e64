// Capture and video-sample sources over small fakes of a capture device and
// a sampler, with real textures.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "source_device_fixture.h"
#include "sources/capture_source.h"
#include "sources/video_sample_source.h"

namespace lvtest {
namespace {

class FakeRenderer final : public builtin::CaptureFrameRenderer {
 public:
  void UpdateTexture() override { ++updates; }
  gfx::Texture* TargetTexture() override { return texture.get(); }
  uint32_t FrameCount() override { return frames; }

  gfx::Ref<gfx::Texture> texture;
  uint32_t frames = 0;
  int updates = 0;
};

class FakeCaptureDevice final : public builtin::CaptureFeed {
 public:
  int16_t DeviceIndex() override { return 0; }
  const char* FriendlyName() override { return "Desk Camera"; }
  builtin::CaptureFrameRenderer* Renderer() override { return running ? &renderer : nullptr; }

  FakeRenderer renderer;
  bool running = true;
};

class CaptureSourceTest : public SourceDeviceTest {
 protected:
  void SetUp() override {
    SourceDeviceTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    device_->CreateTexture(8, 4, 1, gfx::usage::RenderTarget, gfx::Format::A8R8G8B8, gfx::Pool::Default,
                           camera_.renderer.texture.put());
    registry_.RegisterSourceKind(&kind_, nullptr);
  }

  void TearDown() override {
    camera_.renderer.texture = {};
    SourceDeviceTest::TearDown();
  }

  FakeCaptureDevice camera_;
  builtin::CaptureSourceDesc kind_{camera_};
};

TEST_F(CaptureSourceTest, OpensByTheDevicesNameAndReportsOneNewFramePerArrival) {
  EXPECT_STREQ(kind_.GetPrefix(), "Cap0-Desk Camera");
  std::unique_ptr<lv::Source> source(host_.CreateSource("Cap0-Desk Camera:", 0));
  ASSERT_NE(source, nullptr);
  lv::SourceInfo info{};
  ASSERT_TRUE(source->GetInfo(&info));
  EXPECT_EQ(info.width, 8u);
  EXPECT_EQ(info.height, 4u);
  EXPECT_FLOAT_EQ(source->GetTexelOffset()[2], 1.0625f);

  // Frames delivered before each Advance, and the newFrame it must give.
  const struct {
    uint32_t arrived;
    bool newFrame;
  } steps[] = {{0, true}, {0, false}, {1, true}, {10, true}, {0, false}};
  for (const auto& step : steps) {
    camera_.renderer.frames += step.arrived;
    bool wrapped = true, newFrame = !step.newFrame;
    EXPECT_TRUE(source->Advance(16, &wrapped, &newFrame));
    EXPECT_FALSE(wrapped);
    EXPECT_EQ(newFrame, step.newFrame) << "after " << step.arrived << " arrivals";
  }
  EXPECT_EQ(source->GetTexture(), camera_.renderer.texture.get());
  EXPECT_EQ(camera_.renderer.updates, 1) << "the texture is converted when asked for";

  camera_.running = false;
  camera_.renderer.frames += 3;
  bool wrapped = true, newFrame = true;
  EXPECT_TRUE(source->Advance(16, &wrapped, &newFrame));
  EXPECT_FALSE(newFrame);
  EXPECT_EQ(source->GetTexture(), nullptr);
  EXPECT_EQ(host_.CreateSource("Cap0-Desk Camera:", 0), nullptr) << "no renderer texture: no source";
}

// A sampler of solid-colour frames in system memory.
class FakeSampler final : public builtin::SampleStore {
 public:
  FakeSampler(gfx::Device* device, uint32_t capacity) {
    for (uint32_t i = 0; i < capacity; ++i) {
      gfx::Ref<gfx::Texture> frame;
      device->CreateTexture(4, 4, 1, gfx::usage::None, gfx::Format::A8R8G8B8, gfx::Pool::SystemMem, frame.put());
      frames.push_back(frame);
    }
  }
  const char* Name() override { return name; }
  uint32_t Width() override { return 4; }
  uint32_t Height() override { return 4; }
  gfx::Format Format() override { return gfx::Format::A8R8G8B8; }
  uint32_t Recorded() override { return recorded; }
  uint32_t Interval() override { return interval; }
  gfx::Texture* FrameTexture(uint32_t i) override { return i < frames.size() ? frames[i].get() : nullptr; }

  const char* name = "Loop A";
  uint32_t recorded = 0;
  uint32_t interval = 2;
  std::vector<gfx::Ref<gfx::Texture>> frames;
};

class VideoSampleTest : public SourceDeviceTest {
 protected:
  std::unique_ptr<builtin::VideoSampleSource> Open(FakeSampler& sampler) {
    builtin::VideoSampleSourceDesc kind(sampler);
    std::unique_ptr<builtin::VideoSampleSource> source(static_cast<builtin::VideoSampleSource*>(kind.Create()));
    source->host = &host_;
    EXPECT_TRUE(source->Open("Loop A:"));
    return source;
  }
};

TEST_F(VideoSampleTest, PlaysAtSixtyOverTheIntervalAndLoopsToTheStartOfAFrame) {
  const struct {
    uint32_t interval, recorded;
    uint8_t loop;
    uint32_t ms;
    int64_t index;
    bool wrapped;
    uint32_t playTime;
  } cases[] = {
      {2, 10, 1, 400, 2, true, 66},     // index 12 wraps to 2, time to that frame's start
      {2, 10, 0, 400, 9, true, 400},    // held on the last frame
      {7, 10, 1, 1000, 8, false, 1000}, // 60 / 7 is 8 frames a second, not 8.57
      {2, 0, 1, 100, 0, true, 100},     // nothing recorded: frame 0
      {0, 10, 1, 100, 6, false, 100},   // an interval of 0 plays as 1, without dividing by it
  };
  for (const auto& c : cases) {
    FakeSampler sampler(device_, 10);
    sampler.interval = c.interval;
    sampler.recorded = c.recorded;
    auto source = Open(sampler);
    source->SetOption0(c.loop);
    ASSERT_TRUE(source->Attach(64));
    bool wrapped = !c.wrapped, newFrame = false;
    EXPECT_TRUE(source->Advance(c.ms, &wrapped, &newFrame));
    EXPECT_EQ(source->CurrentFrame(), c.index) << "interval " << c.interval << " after " << c.ms << " ms";
    EXPECT_EQ(wrapped, c.wrapped) << "interval " << c.interval << " after " << c.ms << " ms";
    EXPECT_EQ(source->PlayTime(), c.playTime) << "interval " << c.interval << " after " << c.ms << " ms";
    EXPECT_TRUE(newFrame);
  }
}

TEST_F(VideoSampleTest, EveryAttachUploadsAgainAndAMissingFrameIsSkipped) {
  FakeSampler sampler(device_, 1);
  sampler.recorded = 1;
  auto source = Open(sampler);
  bool wrapped = false, newFrame = false;
  ASSERT_TRUE(source->Attach(64));
  source->Advance(0, &wrapped, &newFrame);
  EXPECT_TRUE(newFrame);
  source->Advance(16, &wrapped, &newFrame);
  EXPECT_FALSE(newFrame) << "still frame 0";
  source->Detach();
  EXPECT_EQ(source->GetTexture(), nullptr);
  // The next note's texture is new: frame 0 must go into it again.
  ASSERT_TRUE(source->Attach(64));
  source->Advance(0, &wrapped, &newFrame);
  EXPECT_TRUE(newFrame);

  // A sampler that claims more frames than it holds (released, or a damaged
  // project): the frame it lacks is not uploaded.
  FakeSampler empty(device_, 0);
  empty.recorded = 3;
  auto lacking = Open(empty);
  ASSERT_TRUE(lacking->Attach(64));
  lacking->Advance(0, &wrapped, &newFrame);
  EXPECT_FALSE(newFrame);
  EXPECT_EQ(lacking->CurrentFrame(), -1);
}

TEST_F(VideoSampleTest, InfoMarksTheFirstTwoFlagBytesOnly) {
  FakeSampler sampler(device_, 1);
  auto source = Open(sampler);
  lv::SourceInfo info;
  std::memset(&info, 0xAA, sizeof info);
  ASSERT_TRUE(source->GetInfo(&info));
  EXPECT_EQ(info.flags[0], 1);
  EXPECT_EQ(info.flags[1], 0);
  EXPECT_EQ(info.flags[2], 0xAA);
  EXPECT_EQ(info.flags[3], 0xAA);
  EXPECT_EQ(info.format, uint32_t(gfx::Format::A8R8G8B8));
}

TEST(VideoSampleSourceDesc, TakesTheSamplersNameCutTo127Characters) {
  struct Named final : builtin::SampleStore {
    std::string name = std::string(200, 'x');
    const char* Name() override { return name.c_str(); }
    uint32_t Width() override { return 0; }
    uint32_t Height() override { return 0; }
    gfx::Format Format() override { return gfx::Format::Unknown; }
    uint32_t Recorded() override { return 0; }
    uint32_t Interval() override { return 2; }
    gfx::Texture* FrameTexture(uint32_t) override { return nullptr; }
  } sampler;
  builtin::VideoSampleSourceDesc kind(sampler);
  EXPECT_EQ(std::string(kind.GetPrefix()), std::string(127, 'x'));
  EXPECT_STREQ(kind.GetCategory(), "Video Sample");
}

}  // namespace
}  // namespace lvtest
