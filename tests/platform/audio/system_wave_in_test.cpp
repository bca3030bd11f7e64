#include <gtest/gtest.h>

#include <atomic>

#include "platform/audio/wave_in.h"

// Runs on whatever this machine has: often no sound card at all, which must
// give an empty list rather than a failure.
TEST(SystemWaveIn, ListsDevicesWithShortNamesAndOpensOrRefusesCleanly) {
  auto devices = audio::CreateSystemWaveInDevices();
  ASSERT_NE(devices, nullptr);
  uint32_t count = devices->GetNumDevs();
  audio::WaveInCaps caps;
  for (uint32_t id = 0; id < count; ++id) {
    if (devices->GetDevCaps(id, &caps)) {
      EXPECT_LE(caps.productName.size(), audio::kMaxProductName);
    }
  }
  EXPECT_FALSE(devices->GetDevCaps(count, &caps));
  EXPECT_EQ(devices->Open(count, {}, [](audio::WaveHeader*) {}), nullptr);
  if (count == 0) return;

  std::atomic<int> returned{0};
  auto in = devices->Open(0, {}, [&](audio::WaveHeader*) { ++returned; });
  if (!in) return;  // a busy or format-less device refuses; that is allowed
  uint8_t data[2][2048];
  audio::WaveHeader headers[2] = {{data[0], 2048, 0, nullptr}, {data[1], 2048, 0, nullptr}};
  in->AddBuffer(&headers[0]);
  in->AddBuffer(&headers[1]);
  in->Start();
  in->Reset();
  EXPECT_EQ(returned.load(), 2) << "every buffer comes back by the end of Reset";
}
