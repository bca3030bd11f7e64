#include "audio/audio_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "fake_wave_in.h"
#include "platform/audio/audio_log.h"
#include "platform/audio/file_wave_in.h"
#include "signals.h"
#include "wav_bytes.h"

namespace {

std::mutex g_logMutex;
std::vector<std::string> g_log;

void CaptureLine(const char* line) {
  std::lock_guard lock(g_logMutex);
  g_log.push_back(line);
}

class AudioInputTest : public ::testing::Test {
 protected:
  AudioInputTest() {
    g_log.clear();
    audio::SetLogSink(&CaptureLine);
    devices_.entries.push_back({{"Line In", audio::kFormat4S16}});
  }
  ~AudioInputTest() override {
    input_.Shutdown();
    audio::SetLogSink(nullptr);
  }

  // Start-up as the program does it: find, then open the first device.
  void StartUp() {
    input_.FindDevices();
    input_.Open(input_.FirstDevice());
    ASSERT_TRUE(input_.IsOpen());
  }
  // One buffer back from the device, then one pass.
  void Pass(const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(devices_.state.ReturnNext(bytes));
    input_.Process();
  }
  std::vector<float> Levels() const {
    std::vector<float> v;
    for (int i = 0; i < input_.GetNumBands(); ++i) v.push_back(input_.GetBandLevel(i));
    return v;
  }

  FakeWaveInDevices devices_;
  AudioInput input_{devices_};
};

TEST_F(AudioInputTest, KeepsOnlyDevicesWith16BitFormatsAt22Or44kHz) {
  devices_.entries = {
      {{"Mic 22k mono", audio::kFormat2M16}},
      {{"Old 11k", audio::kFormat1S16 | audio::kFormat1M16}},
      {{"Broken", audio::kFormat4S16}, true},
      {{"A product name longer than thirty-one characters", audio::kFormat4M16}},
      {{"Stereo 22k", audio::kFormat2S16}},
  };
  input_.FindDevices();
  ASSERT_EQ(input_.Devices().size(), 3u);
  EXPECT_EQ(input_.Devices()[0].name, "Mic 22k mono");
  EXPECT_EQ(input_.Devices()[1].name, "A product name longer than thir");
  EXPECT_EQ(input_.Devices()[1].id, 3u);
  EXPECT_EQ(input_.Devices()[2].id, 4u);
  EXPECT_EQ(g_log, (std::vector<std::string>{
                       "Found compatible audio input device: Mic 22k mono",
                       "Found incompatible audio input device: Old 11k",
                       "Found compatible audio input device: A product name longer than thir",
                       "Found compatible audio input device: Stereo 22k"}))
      << "a device whose query fails is skipped without a line";
}

TEST_F(AudioInputTest, WithoutADeviceNothingOpensAndTheResultsStayAtRest) {
  devices_.entries.clear();
  input_.FindDevices();
  input_.Open(input_.FirstDevice());
  input_.Process();
  EXPECT_FALSE(input_.IsOpen());
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(input_.GetNumBands(), 6);
  EXPECT_EQ(input_.GetSpectrumLength(), 1024);
  EXPECT_TRUE(std::all_of(input_.GetSpectrum(), input_.GetSpectrum() + 1024, [](float v) { return v == 0; }));
  EXPECT_EQ(Levels(), std::vector<float>(6, 0.0f));
  EXPECT_EQ(input_.GetBeat(), 0);
  EXPECT_EQ(input_.GetBandLevel(6), 0.0f);
  EXPECT_EQ(input_.GetBandLevel(-1), 0.0f);
}

TEST_F(AudioInputTest, OpenQueuesSixBuffersAndFailuresLeaveNothingBehind) {
  StartUp();
  EXPECT_EQ(devices_.state.Queued(), 6u);
  EXPECT_EQ(g_log.back(), "Audio input opened.");
  input_.Open(nullptr);
  EXPECT_FALSE(input_.IsOpen());
  EXPECT_EQ(devices_.state.heldAtClose, 0);
  EXPECT_EQ(g_log.back(), "Audio input shut down.");

  devices_.failStart = true;
  g_log.clear();
  input_.Open(input_.FirstDevice());
  EXPECT_FALSE(input_.IsOpen());
  EXPECT_EQ(g_log, (std::vector<std::string>{"Attempting to open audio input...", "Audio input opened.",
                                             "Audio input failed to start."}));
  EXPECT_FALSE(devices_.state.open) << "a device that failed to start is closed";
  EXPECT_EQ(devices_.state.heldAtClose, 0);

  devices_.failOpen = true;
  g_log.clear();
  input_.Open(input_.FirstDevice());
  EXPECT_FALSE(input_.IsOpen());
  EXPECT_EQ(g_log, (std::vector<std::string>{"Attempting to open audio input...", "Audio input failed to open."}));
}

TEST_F(AudioInputTest, MixesWholeFramesOfLeftPlusRightOver32768) {
  StartUp();
  std::vector<uint8_t> bytes;
  signals::PutFrame(bytes, -32768, -32768);
  signals::PutFrame(bytes, 32767, 32767);
  signals::PutFrame(bytes, 16384, -8192);
  bytes.resize(2047, 0x11);  // 511 whole frames and 3 bytes over
  Pass(bytes);
  EXPECT_EQ(input_.RingWritePosition(), 511);
  EXPECT_EQ(input_.SampleRing()[0], -2.0f);
  EXPECT_FLOAT_EQ(input_.SampleRing()[1], 65534.0f / 32768);
  EXPECT_EQ(input_.SampleRing()[2], 0.25f);
  EXPECT_EQ(input_.SampleRing()[511], 0.0f) << "the partial frame is not mixed";
  Pass({});
  EXPECT_EQ(input_.RingWritePosition(), 511);
}

// Each returned buffer is one transform and one level update, even an
// empty one: a pass that finds three buffers moves the history three times.
TEST_F(AudioInputTest, EveryWaitingBufferIsAnalysedInOnePass) {
  StartUp();
  for (int i = 0; i < 6; ++i) Pass(signals::Silence());  // the hit lands mid-window
  Pass(signals::Tone(7, 20000));
  ASSERT_FLOAT_EQ(input_.GetLevel(), 64.0f);
  ASSERT_TRUE(devices_.state.ReturnNext({}));
  ASSERT_TRUE(devices_.state.ReturnNext({}));
  input_.Process();
  EXPECT_FLOAT_EQ(input_.GetLevel(), 64.0f / 3) << "three equal peaks in the history";
  EXPECT_EQ(devices_.state.Queued(), 6u) << "each buffer went back to the device";
}

// Band levels and beat from synthetic signals.
TEST_F(AudioInputTest, LevelsAndBeatFollowTheBassAgainstItsRecentAverage) {
  struct Case {
    const char* signal;
    std::vector<std::vector<uint8_t>> buffers;
    std::vector<float> levels;
    uint8_t beat;
  };
  auto repeat = [](const std::vector<uint8_t>& b, int n) { return std::vector<std::vector<uint8_t>>(n, b); };
  auto silenceThenHit = repeat(signals::Silence(), 6);
  silenceThenHit.push_back(signals::Tone(7, 20000));
  const Case cases[] = {
      {"silence", repeat(signals::Silence(), 10), {0, 0, 0, 1, 1, 1}, 0},
      // One non-zero entry in the history: the average is a 64th of the peak.
      {"first hit after silence", silenceThenHit, {64, 32, 16, -63, -31, -15}, 1},
      // History full of one peak: the average is twice it, so half.
      {"steady 172 Hz tone", repeat(signals::Tone(8, 8000), 200),
       {0.5f, 0.375f, 0.4140625f, 0.5f, 0.625f, 0.5859375f}, 0},
      {"steady 1.4 kHz tone (no bass)", repeat(signals::Tone(64, 8000), 200), {0, 0, 0, 1, 1, 1}, 0},
  };
  for (const Case& c : cases) {
    FakeWaveInDevices devices;
    devices.entries.push_back({{"Line In", audio::kFormat4S16}});
    AudioInput input(devices);
    input.FindDevices();
    input.Open(input.FirstDevice());
    for (const auto& b : c.buffers) {
      ASSERT_TRUE(devices.state.ReturnNext(b));
      input.Process();
    }
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(input.GetBandLevel(i), c.levels[i], 1e-4) << c.signal << ", band " << i;
    EXPECT_EQ(input.GetBeat(), c.beat) << c.signal;
  }
}

// A beat needs a bass peak above twice the mean of the last 128, the new
// one counted: after 127 peaks of 1, that is above 127/63.
TEST_F(AudioInputTest, BeatNeedsAPeakAboveTwiceTheRecentMean) {
  struct Case { int bin; float value; uint8_t beat; float level0; };
  const Case cases[] = {
      {7, 1.0f, 0, 0.5f},
      {7, 2.0f, 0, 2.0f * 64 / 129},
      {7, 2.02f, 1, 2.02f * 64 / 129.02f},
      {5, 3.0f, 1, 3.0f * 64 / 130},
      {10, 3.0f, 1, 3.0f * 64 / 130},
      {4, 9.0f, 0, 0.5f},   // below the bass bins
      {11, 9.0f, 0, 0.5f},  // above them
  };
  for (const Case& c : cases) {
    FakeWaveInDevices devices;
    AudioInput input(devices);
    input.FindDevices();
    float* spectrum = input.SpectrumBlock();
    spectrum[7] = 1.0f;
    for (int i = 0; i < 127; ++i) input.UpdateLevels();
    spectrum[7] = 1.0f;
    spectrum[c.bin] = std::max(spectrum[c.bin], c.value);
    input.UpdateLevels();
    EXPECT_EQ(input.GetBeat(), c.beat) << "bin " << c.bin << " = " << c.value;
    EXPECT_NEAR(input.GetLevel(), c.level0, 1e-5) << "bin " << c.bin << " = " << c.value;
  }
}

// Capture playback closes the input and its end reopens it: the analysis
// carries on from where it was.
TEST_F(AudioInputTest, CloseAndReopenKeepRingHistoryAndLevels) {
  StartUp();
  for (int i = 0; i < 6; ++i) Pass(signals::Silence());
  Pass(signals::Tone(7, 20000));
  const std::vector<float> before = Levels();
  const std::vector<float> spectrum(input_.GetSpectrum(), input_.GetSpectrum() + 1024);
  input_.Open(nullptr);
  input_.Process();
  input_.Open(input_.FirstDevice());
  EXPECT_EQ(Levels(), before);
  EXPECT_EQ(std::vector<float>(input_.GetSpectrum(), input_.GetSpectrum() + 1024), spectrum);
  EXPECT_EQ(input_.RingWritePosition(), 7 * 512 % 2048);
  Pass({});  // same ring, so the same peak: two in the history now
  EXPECT_FLOAT_EQ(input_.GetLevel(), 32.0f);
}

// The file-backed input feeds the analysis one buffer per pass.
TEST_F(AudioInputTest, ASineFromAWavFilePeaksInItsBin) {
  const std::string path = ::testing::TempDir() + "audio_input_sine.wav";
  wavtest::WavSpec spec;
  for (int i = 0; i < 4; ++i) {
    auto tone = signals::Tone(40, 12000);  // 861.3 Hz; the buffer repeats
    for (size_t j = 0; j < tone.size(); j += 2) spec.samples.push_back(static_cast<int16_t>(tone[j] | tone[j + 1] << 8));
  }
  wavtest::WriteWav(path, spec);
  audio::FileWaveInDevices devices(path, audio::FilePacing::OnDemand);
  AudioInput input(devices);
  input.FindDevices();
  input.Open(input.FirstDevice());
  ASSERT_TRUE(input.IsOpen());
  while (devices.DeliverNextBuffer()) input.Process();
  const float* s = input.GetSpectrum();
  EXPECT_EQ(std::max_element(s, s + 1024) - s, 40);
  EXPECT_EQ(input.RingWritePosition(), 0);
  input.Open(nullptr);
}

}  // namespace
