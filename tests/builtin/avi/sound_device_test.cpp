#include "platform/audio/sound_device.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace audio {
namespace {

SoundBufferDesc Pcm16(uint16_t channels, uint32_t rate, uint32_t blocks) {
  SoundBufferDesc d;
  d.format.channels = channels;
  d.format.samplesPerSec = rate;
  d.format.blockAlign = static_cast<uint16_t>(2 * channels);
  d.format.avgBytesPerSec = rate * d.format.blockAlign;
  d.format.bitsPerSample = 16;
  d.bufferBytes = blocks * d.format.blockAlign;
  return d;
}

// Writes `samples` at `offset` through Lock and Unlock.
void Write(SoundBuffer& b, uint32_t offset, const std::vector<int16_t>& samples) {
  void *first, *second;
  uint32_t firstBytes, secondBytes;
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
  ASSERT_EQ(SoundResult::Ok, b.Lock(offset, bytes, &first, &firstBytes, &second, &secondBytes));
  std::memcpy(first, samples.data(), firstBytes);
  if (second) std::memcpy(second, reinterpret_cast<const uint8_t*>(samples.data()) + firstBytes, secondBytes);
  ASSERT_EQ(SoundResult::Ok, b.Unlock(first, firstBytes, second, secondBytes));
}

TEST(SoundUnits, VolumeAndPanFollowHundredthsOfADecibel) {
  struct Case {
    int32_t value;
    float gain;
  } volumes[] = {{0, 1.0f}, {-600, 0.501187f}, {-2000, 0.1f}, {-9999, 1.0e-5f}, {-10000, 0.0f}, {-20000, 0.0f}};
  for (const Case& c : volumes) EXPECT_NEAR(VolumeGain(c.value), c.gain, 1e-6f) << c.value;

  float left, right;
  PanGains(0, &left, &right);
  EXPECT_EQ(left, 1.0f);
  EXPECT_EQ(right, 1.0f);
  PanGains(-2000, &left, &right);  // right side 20 dB down
  EXPECT_EQ(left, 1.0f);
  EXPECT_NEAR(right, 0.1f, 1e-6f);
  PanGains(kPanRight, &left, &right);
  EXPECT_EQ(left, 0.0f);
  EXPECT_EQ(right, 1.0f);
}

TEST(SoundBuffer, RejectsWhatItCannotPlay) {
  NullSoundDevice device;
  SoundResult r;
  SoundBufferDesc noBytes = Pcm16(1, 22050, 0);
  EXPECT_EQ(device.CreateSoundBuffer(noBytes, &r), nullptr);
  EXPECT_EQ(r, SoundResult::InvalidParam);
  SoundBufferDesc halfBlock = Pcm16(2, 22050, 4);
  halfBlock.bufferBytes -= 2;
  EXPECT_EQ(device.CreateSoundBuffer(halfBlock, &r), nullptr);
  SoundBufferDesc surround = Pcm16(6, 22050, 4);
  EXPECT_EQ(device.CreateSoundBuffer(surround, &r), nullptr);
  EXPECT_EQ(r, SoundResult::BadFormat);

  auto b = device.CreateSoundBuffer(Pcm16(1, 22050, 8));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->SetVolume(1), SoundResult::InvalidParam);
  EXPECT_EQ(b->SetPan(-10001), SoundResult::InvalidParam);
  void *first, *second;
  uint32_t n1, n2;
  EXPECT_EQ(b->Lock(16, 2, &first, &n1, &second, &n2), SoundResult::InvalidParam);  // past the end
  EXPECT_EQ(b->Lock(0, 17, &first, &n1, &second, &n2), SoundResult::InvalidParam);  // larger than the ring
}

TEST(SoundBuffer, LockPastTheEndSplitsAndWrapsToTheStart) {
  NullSoundDevice device(22050);
  auto b = device.CreateSoundBuffer(Pcm16(1, 22050, 8));
  ASSERT_TRUE(b);
  void *first, *second;
  uint32_t n1, n2;
  ASSERT_EQ(SoundResult::Ok, b->Lock(12, 8, &first, &n1, &second, &n2));
  EXPECT_EQ(n1, 4u);
  EXPECT_EQ(n2, 4u);
  EXPECT_NE(second, nullptr);
  b->Unlock(first, n1, second, n2);

  Write(*b, 12, {6000, 7000, 100, 200});  // blocks 6, 7, then 0, 1
  b->Play(true);
  std::vector<float> out(2 * 8);
  device.Render(out.data(), 8);
  const float expected[] = {100, 200, 0, 0, 0, 0, 6000, 7000};
  for (int i = 0; i < 8; ++i) {
    EXPECT_FLOAT_EQ(out[2 * i], expected[i] / 32768) << i;
    EXPECT_FLOAT_EQ(out[2 * i + 1], expected[i] / 32768) << i;
  }
}

TEST(SoundBuffer, MixesStereoWithVolumeAndPanAndStopsAtTheEndUnlessLooping) {
  NullSoundDevice device(22050);
  auto b = device.CreateSoundBuffer(Pcm16(2, 22050, 4));
  ASSERT_TRUE(b);
  Write(*b, 0, {16384, -16384, 16384, -16384, 16384, -16384, 16384, -16384});
  b->SetVolume(-600);  // half, near enough
  b->SetPan(2000);     // left 20 dB down
  b->Play(false);
  std::vector<float> out(2 * 6, 9.0f);
  device.Render(out.data(), 6);
  EXPECT_NEAR(out[0], 0.5f * 0.501187f * 0.1f, 1e-5f);
  EXPECT_NEAR(out[1], -0.5f * 0.501187f, 1e-5f);
  EXPECT_EQ(out[8], 0.0f);  // after the fourth block: stopped
  EXPECT_FALSE(b->IsPlaying());

  b->SetCurrentPosition(8);  // block 2
  b->Play(true);
  device.Render(out.data(), 6);
  for (int i = 0; i < 6; ++i) EXPECT_NE(out[2 * i], 0.0f) << i;
  EXPECT_TRUE(b->IsPlaying());
  EXPECT_EQ(b->GetCurrentPosition(), 0u);  // 2 + 6 blocks round a ring of 4
}

TEST(SoundBuffer, PlaysAtItsOwnRateOnAFasterOutput) {
  NullSoundDevice device(44100);
  auto b = device.CreateSoundBuffer(Pcm16(1, 22050, 4));
  ASSERT_TRUE(b);
  Write(*b, 0, {1000, 2000, 3000, 4000});
  b->Play(true);
  std::vector<float> out(2 * 8);
  device.Render(out.data(), 8);
  EXPECT_FLOAT_EQ(out[0], out[2]);  // each block lasts two output frames
  EXPECT_FLOAT_EQ(out[4], 2000.0f / 32768);
  b.reset();  // a destroyed buffer leaves the mix
  device.Render(out.data(), 8);
  EXPECT_EQ(out[0], 0.0f);
}

TEST(SoundOutput, OpensOrFailsWithAReason) {
  std::string error;
  std::unique_ptr<SoundDevice> output = OpenSoundOutput(&error);
  if (!output) {
    EXPECT_FALSE(error.empty());
    return;
  }
  auto b = output->CreateSoundBuffer(Pcm16(2, 22050, 2205));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Play(true), SoundResult::Ok);
  EXPECT_EQ(b->Stop(), SoundResult::Ok);
}

}  // namespace
}  // namespace audio
