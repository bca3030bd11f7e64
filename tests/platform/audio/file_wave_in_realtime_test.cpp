#include <gtest/gtest.h>

#include "platform/audio/file_wave_in.h"
#include "wave_in_support.h"

using audio::FilePacing;
using audio::FileWaveInDevices;
using namespace wavtest;

namespace {

// RealTime runs its own thread: the buffers still come back in order with
// the file's sound, and closing while it runs is clean.
TEST(FileWaveInRealTime, ReturnsTheSoundInOrderFromItsOwnThread) {
  const std::string path = ::testing::TempDir() + "file_wave_in_realtime_test.wav";
  WavSpec spec;
  spec.samples = Ramp(1536, 2);  // 35 ms
  wavtest::WriteWav(path, spec);
  FileWaveInDevices devices(path, FilePacing::RealTime);
  Returned returned;
  auto in = devices.Open(0, {}, returned.Callback());
  ASSERT_NE(in, nullptr);
  Buffer b[3];
  for (Buffer& x : b) in->AddBuffer(&x.header);
  in->Start();
  {
    std::unique_lock lock(returned.mutex);
    returned.changed.wait(lock, [&] { return returned.headers.size() == 3; });
  }
  EXPECT_EQ(returned.headers[0], &b[0].header);
  EXPECT_EQ(returned.headers[2], &b[2].header);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(b[i].Left(0), 512 * i);
  EXPECT_FALSE(devices.DeliverNextBuffer()) << "real-time input delivers on its own";

  Buffer more;
  in->AddBuffer(&more.header);  // the sound has ended: stays queued
  in.reset();
}

}  // namespace
