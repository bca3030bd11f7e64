#include <gtest/gtest.h>

#include "platform/audio/file_wave_in.h"
#include "wave_in_support.h"

using audio::FilePacing;
using audio::FileWaveInDevices;
using namespace wavtest;

namespace {

// RealTime runs its own thread: the buffers come back in order, each with a
// run of the file's sound, and closing while it runs is clean. A pacer the
// machine holds up drops the sound it missed, as a sound card would, so the
// runs are checked for order and gaps rather than for exact positions; the
// file is long enough that a delay never runs it out.
TEST(FileWaveInRealTime, ReturnsTheSoundInOrderFromItsOwnThread) {
  const std::string path = ::testing::TempDir() + "file_wave_in_realtime_test.wav";
  WavSpec spec;
  spec.samples = Ramp(30000, 2);  // 0.68 s
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
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(returned.headers[i], &b[i].header);
    EXPECT_EQ(b[i].header.bytesRecorded, sizeof b[i].data);
    const int first = b[i].Left(0);
    for (int frame = 1; frame < 512; ++frame) ASSERT_EQ(b[i].Left(frame), first + frame) << "frame " << frame;
    EXPECT_EQ(b[i].Right(0), -first);
    if (i > 0) {
      EXPECT_GE(first, b[i - 1].Left(0) + 512);
    }
  }
  EXPECT_GE(b[0].Left(0), 0);
  EXPECT_FALSE(devices.DeliverNextBuffer()) << "real-time input delivers on its own";

  Buffer more;
  in->AddBuffer(&more.header);  // queued while the pacer waits for its time
  in.reset();
}

}  // namespace
