#include "avi/avi_file_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "avi/avi_log.h"
#include "avi/avi_source_kind.h"
#include "avi_fixture.h"
#include "encoded_clips.h"
#include "device_fixture.h"
#include "host/lorvane_host.h"
#include "platform/audio/sound_device.h"
#include "registry/plug_registry.h"

namespace {

using media::testing::AviFixture;
using media::testing::FrameColours;

std::vector<std::string> g_logLines;
void CaptureLog(const char* line) { g_logLines.push_back(line); }

// Ten frames at 25 per second, a different colour in each; with `channels`,
// a ramp of sound that tells every sample apart.
AviFixture TestClip(int width, int height, int channels = 0) {
  AviFixture f;
  f.width = width;
  f.height = height;
  for (int i = 0; i < 10; ++i) f.frames.push_back(FrameColours(i));
  f.channels = channels;
  f.sampleRate = 22050;
  for (int i = 0; i < 22050 * channels / 2; ++i) f.samples.push_back(static_cast<int16_t>(i % 20000 - 10000));
  return f;
}

class AviSource : public gfx::test::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host.device = device_;
    host.registry = &registry;
    host.nonPow2Supported = true;
    host.roundToNearestPow2 = false;
    lv::RegisterAviSourceKind(registry);
    g_logLines.clear();
    lv::SetAviLogSink(&CaptureLog);
  }
  void TearDown() override {
    lv::SetAviLogSink(nullptr);
    DeviceTest::TearDown();
  }

  // Writes the clip and opens it through the host, as a plug-in would.
  std::unique_ptr<lv::AviFileSource> OpenClip(const AviFixture& clip, uint8_t powerOfTwo = 0) {
    const std::string path = folder.File("clip.Avi");
    media::testing::WriteFile(path, media::testing::BuildAvi(clip));
    lv::Source* source = host.CreateSource(path.c_str(), powerOfTwo);
    return std::unique_ptr<lv::AviFileSource>(static_cast<lv::AviFileSource*>(source));
  }

  // The texture's pixels, as the device holds them.
  media::testing::Picture TexturePicture(lv::AviFileSource& source) {
    gfx::Texture* texture = source.GetTexture();
    gfx::SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    media::testing::Picture picture(static_cast<int>(desc.width), static_cast<int>(desc.height));
    if (desc.usage & gfx::usage::RenderTarget) {
      gfx::Surface* level = nullptr;
      texture->GetSurfaceLevel(0, &level);
      std::vector<uint32_t> pixels = ReadBack(level);
      level->Release();
      std::memcpy(picture.bytes.data(), pixels.data(), picture.bytes.size());
    } else {
      gfx::LockedRect locked;
      EXPECT_EQ(gfx::Result::Ok, texture->LockRect(0, &locked, nullptr, gfx::lock::ReadOnly));
      for (uint32_t y = 0; y < desc.height; ++y)
        std::memcpy(picture.At(0, static_cast<int>(y)), static_cast<uint8_t*>(locked.bits) + y * locked.pitch,
                    desc.width * 4);
      texture->UnlockRect(0);
    }
    return picture;
  }

  // Which of the test colours the texture shows.
  int FrameShown(lv::AviFileSource& source) { return media::testing::ClosestFrame(TexturePicture(source)); }

  media::testing::ScratchFolder folder;
  lv::PlugRegistry registry;
  lv::LorvaneHost host{nullptr};
};

TEST(AviSourceKind, DescribesAviFiles) {
  lv::SourceDesc* kind = lv::AviFileSourceKind();
  EXPECT_STREQ(kind->GetName(), "AVIs");
  EXPECT_STREQ(kind->GetCategory(), "Video");
  EXPECT_STREQ(kind->GetDescription(), "AVI File Source");
  EXPECT_EQ(kind->GetKind(), 3);
  EXPECT_TRUE(kind->IsFileBased());
  EXPECT_TRUE(kind->IsAnimated());
  ASSERT_EQ(kind->NumExtensions(), 1);
  EXPECT_STREQ(kind->Extension(0), "AVI");
  EXPECT_EQ(kind->Extension(1), nullptr);
  EXPECT_EQ(kind->GetPrefix(), nullptr);
  std::unique_ptr<lv::Source> source(kind->Create());
  EXPECT_TRUE(*source->GetClassId() == *kind->GetClassId());
  EXPECT_TRUE(source->CanHoldNote());
  lv::SourceInfo info{};
  EXPECT_FALSE(source->GetInfo(&info));  // nothing read yet
  bool wrapped, fresh;
  EXPECT_FALSE(source->Advance(40, &wrapped, &fresh));
}

TEST(AviSourceUnits, VolumeAndPanMapToHundredthsOfADecibel) {
  struct Case {
    int32_t value, hundredths;
  };
  for (Case c : {Case{127, 0}, Case{64, -2902}, Case{1, -9113}, Case{0, -10000}, Case{300, 0}})
    EXPECT_EQ(lv::AviFileSource::VolumeToHundredthsOfDb(c.value), c.hundredths) << c.value;
  for (Case c : {Case{0, -2000}, Case{32, -500}, Case{64, 0}, Case{96, 500}, Case{127, 1937}, Case{-5, -2000}})
    EXPECT_EQ(lv::AviFileSource::PanToHundredthsOfDb(c.value), c.hundredths) << c.value;
}

TEST_F(AviSource, MissingOrDamagedFilesGiveNoSourceAndSayWhy) {
  EXPECT_EQ(host.CreateSource(folder.File("absent.avi").c_str(), 0), nullptr);
  ASSERT_EQ(g_logLines.size(), 1u);
  EXPECT_NE(g_logLines[0].find("absent.avi"), std::string::npos);

  std::vector<uint8_t> bytes = media::testing::BuildAvi(TestClip(16, 8));
  bytes.resize(40);
  media::testing::WriteFile(folder.File("cut.avi"), bytes);
  EXPECT_EQ(host.CreateSource(folder.File("cut.avi").c_str(), 0), nullptr);
  EXPECT_EQ(g_logLines.size(), 2u);
}

TEST_F(AviSource, ShowsTheFrameOfThePlayTime) {
  auto source = OpenClip(TestClip(16, 8));
  ASSERT_TRUE(source);
  lv::SourceInfo info{};
  ASSERT_TRUE(source->GetInfo(&info));
  EXPECT_EQ(info.width, 16u);
  EXPECT_EQ(info.height, 8u);
  EXPECT_EQ(info.format, static_cast<uint32_t>(gfx::Format::A8R8G8B8));
  ASSERT_TRUE(source->Attach(100));
  EXPECT_FALSE(source->UsesStagingSurface());

  bool wrapped = true, fresh = false;
  ASSERT_TRUE(source->Advance(0, &wrapped, &fresh));
  EXPECT_TRUE(fresh);
  EXPECT_EQ(FrameShown(*source), 0);
  struct Step {
    uint32_t ms;
    int frame;
    bool fresh;
  } steps[] = {
      {100, 2, true},  // 2.5 frames, rounded: 3 decoded, the third shows
      {10, 2, false},  // 2.75 rounds to 3 still
      {60, 3, true},   // 170 ms: 4.25 -> 4
      {200, 8, true},  // 370 ms: 9.25 -> 9, every frame between decoded
  };
  for (const Step& s : steps) {
    ASSERT_TRUE(source->Advance(s.ms, &wrapped, &fresh));
    EXPECT_FALSE(wrapped) << s.ms;
    EXPECT_EQ(fresh, s.fresh) << s.ms;
    EXPECT_EQ(FrameShown(*source), s.frame) << s.ms;
  }

  // 390 ms reaches frame 10 of 10: round to the start.
  ASSERT_TRUE(source->Advance(20, &wrapped, &fresh));
  EXPECT_TRUE(wrapped);
  EXPECT_TRUE(fresh);
  EXPECT_EQ(FrameShown(*source), 0);
  ASSERT_TRUE(source->Advance(100, &wrapped, &fresh));
  EXPECT_FALSE(wrapped);
  EXPECT_EQ(FrameShown(*source), 2);

  source->Restart();
  ASSERT_TRUE(source->Advance(40, &wrapped, &fresh));
  EXPECT_TRUE(fresh);
  EXPECT_EQ(FrameShown(*source), 0);
}

TEST_F(AviSource, WithoutLoopingTheLastFrameStaysAndEveryAdvanceWraps) {
  auto source = OpenClip(TestClip(16, 8));
  ASSERT_TRUE(source);
  source->SetOption0(0);
  ASSERT_TRUE(source->Attach(100));
  bool wrapped, fresh;
  ASSERT_TRUE(source->Advance(500, &wrapped, &fresh));
  EXPECT_TRUE(wrapped);
  EXPECT_EQ(FrameShown(*source), 9);
  ASSERT_TRUE(source->Advance(40, &wrapped, &fresh));
  EXPECT_TRUE(wrapped);
  EXPECT_FALSE(fresh);
  ASSERT_TRUE(source->Advance(0, &wrapped, &fresh));  // retriggered at the end: no read past it
  EXPECT_EQ(FrameShown(*source), 9);
}

TEST_F(AviSource, TextureSizeAndTexelOffsetFollowThePowerOfTwoChoice) {
  struct Case {
    bool nonPow2;
    uint8_t option;
    uint32_t width, height;
  } cases[] = {{true, 0, 20, 12}, {true, 1, 32, 16}, {false, 0, 32, 16}};
  for (const Case& c : cases) {
    host.nonPow2Supported = c.nonPow2;
    auto source = OpenClip(TestClip(20, 12), c.option);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->TextureWidth(), c.width);
    EXPECT_EQ(source->TextureHeight(), c.height);
    const float* t = source->GetTexelOffset();
    EXPECT_FLOAT_EQ(t[0], 0.5f / c.width);
    EXPECT_FLOAT_EQ(t[1], 0.5f / c.height);
    EXPECT_FLOAT_EQ(t[2], 1 + 0.5f / c.width);
    EXPECT_FLOAT_EQ(t[3], 1 + 0.5f / c.height);

    ASSERT_TRUE(source->Attach(100));
    EXPECT_EQ(source->UsesStagingSurface(), c.width != 20);
    bool wrapped, fresh;
    ASSERT_TRUE(source->Advance(100, &wrapped, &fresh));
    EXPECT_EQ(FrameShown(*source), 2) << c.width;
    source->Detach();
    EXPECT_EQ(source->GetTexture(), nullptr);
  }
}

TEST_F(AviSource, ReleasingDeviceObjectsClosesTheFile) {
  auto source = OpenClip(TestClip(16, 8));
  ASSERT_TRUE(source);
  ASSERT_TRUE(source->Attach(1));
  source->ReleaseDeviceObjects();
  EXPECT_EQ(source->GetTexture(), nullptr);
  lv::SourceInfo info{};
  EXPECT_FALSE(source->GetInfo(&info));
  EXPECT_FALSE(source->Attach(1));
}

TEST_F(AviSource, SilentFileOnlyStoresVolumeAndPan) {
  audio::NullSoundDevice sound(22050);
  host.directSound = &sound;
  auto source = OpenClip(TestClip(16, 8));
  ASSERT_TRUE(source);
  source->SetVolume(64);
  source->SetPan(0);
  ASSERT_TRUE(source->Attach(1));
  EXPECT_EQ(source->GetSoundBuffer(), nullptr);
}

TEST_F(AviSource, NoSoundDeviceLeavesTheClipSilentButPlaying) {
  auto source = OpenClip(TestClip(16, 8, 1));
  ASSERT_TRUE(source);
  ASSERT_TRUE(source->Attach(1));
  EXPECT_EQ(source->GetSoundBuffer(), nullptr);
  bool wrapped, fresh;
  EXPECT_TRUE(source->Advance(100, &wrapped, &fresh));
}

class AviSourceOfCommonEncoder : public AviSource,
                                  public ::testing::WithParamInterface<media::testing::ClipRecipe> {};

// What the texture shows is FFmpeg's own decode of the frame of the play
// time, byte for byte, whatever the codec and however the lock's rows lie.
TEST_P(AviSourceOfCommonEncoder, TextureHoldsTheDecodedFrameOfThePlayTime) {
  const std::string path = folder.File("clip.avi");
  std::string failure = media::testing::WriteClip(path, GetParam());
  ASSERT_TRUE(failure.empty()) << failure;
  const std::vector<media::testing::Frame> expected = media::testing::DecodeClip(path);
  ASSERT_EQ(expected.size(), static_cast<size_t>(media::testing::kClipFrames));
  std::unique_ptr<lv::Source> source(host.CreateSource(path.c_str(), 0));
  ASSERT_TRUE(source);
  auto& avi = static_cast<lv::AviFileSource&>(*source);
  ASSERT_TRUE(avi.Attach(100));
  ASSERT_FALSE(avi.UsesStagingSurface());
  auto shown = [&] {
    media::testing::Picture picture = TexturePicture(avi);
    for (size_t a = 3; a < picture.bytes.size(); a += 4) picture.bytes[a] = 255;  // X8 stored as it came
    return picture.bytes;
  };
  bool wrapped, fresh;
  ASSERT_TRUE(avi.Advance(0, &wrapped, &fresh));
  EXPECT_TRUE(shown() == expected[0]);
  // 25 frames a second: after t ms the frame shown is round(t / 40) - 1.
  struct Step {
    uint32_t ms;
    int frame;
  } steps[] = {{100, 2}, {40, 3}, {400, 13}, {40, 14}, {500, 26}, {90, 28}, {30, 0}};  // the last wraps
  for (const Step& step : steps) {
    ASSERT_TRUE(avi.Advance(step.ms, &wrapped, &fresh));
    EXPECT_TRUE(shown() == expected[step.frame]) << "frame " << step.frame;
  }
}

INSTANTIATE_TEST_SUITE_P(Avi, AviSourceOfCommonEncoder, ::testing::ValuesIn(media::testing::CommonClips()),
                         [](const auto& param) { return std::string(param.param.name); });

class AviSound : public AviSource {
 protected:
  // The next `frames` samples the null device plays, as 16-bit values.
  std::vector<int> Play(uint32_t frames) {
    std::vector<float> out(2 * frames);
    sound.Render(out.data(), frames);
    std::vector<int> left(frames);
    for (uint32_t i = 0; i < frames; ++i) left[i] = static_cast<int>(std::lround(out[2 * i] * 32768));
    return left;
  }
  // The clip's half second of sound, round and round.
  static int Ramp(int64_t sample) { return static_cast<int>(sample % 11025 - 10000); }

  audio::NullSoundDevice sound{22050};
};

TEST_F(AviSound, StreamsTheSoundInStepWithThePictureWithVolumeAndPan) {
  host.directSound = &sound;
  auto source = OpenClip(TestClip(16, 8, 1));
  ASSERT_TRUE(source);
  source->SetVolume(64);
  ASSERT_TRUE(source->Attach(1));
  audio::SoundBuffer* buffer = source->GetSoundBuffer();
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->Size(), 2u * 5512 * 2);  // two quarter seconds
  EXPECT_TRUE(buffer->IsPlaying());
  EXPECT_EQ(buffer->GetVolume(), -2902);
  source->SetVolume(127);
  source->SetPan(96);
  EXPECT_EQ(buffer->GetVolume(), 0);
  EXPECT_EQ(buffer->GetPan(), 500);
  source->SetPan(64);

  // Forty 25 ms frames take the sound a second on, round the ring four
  // times and the half-second clip twice; what plays is the clip's own
  // sound sample by sample.
  bool wrapped, fresh;
  int64_t played = 0;
  for (int frame = 0; frame < 40; ++frame) {
    ASSERT_TRUE(source->Advance(25, &wrapped, &fresh));
    std::vector<int> heard = Play(551);
    for (int i = 0; i < 551; ++i, ++played) ASSERT_EQ(heard[i], Ramp(played)) << played;
  }
}

TEST_F(AviSound, RestartPlaysFromTheStartAndLoopOffStopsAtTheEnd) {
  host.directSound = &sound;
  auto source = OpenClip(TestClip(16, 8, 1));
  ASSERT_TRUE(source);
  ASSERT_TRUE(source->Attach(1));
  bool wrapped, fresh;
  ASSERT_TRUE(source->Advance(100, &wrapped, &fresh));
  Play(2205);
  source->Restart();
  std::vector<int> heard = Play(100);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(heard[i], Ramp(i)) << i;

  source->SetOption0(0);
  ASSERT_TRUE(source->Advance(500, &wrapped, &fresh));
  EXPECT_TRUE(wrapped);
  EXPECT_FALSE(source->GetSoundBuffer()->IsPlaying());
  source->Detach();
  EXPECT_EQ(source->GetSoundBuffer(), nullptr);
}

}  // namespace
