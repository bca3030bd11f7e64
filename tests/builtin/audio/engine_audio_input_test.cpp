// The audio input wired to the Performer: its passes analyse the device,
// readers see the results, and capture playback closes the input, plays the
// recorded spectra through it and hands it back unchanged.
#include "audio/engine_audio_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../../engine/capture/capture_test_support.h"
#include "fake_wave_in.h"
#include "performer/performer.h"
#include "signals.h"

namespace {

class EngineAudioInputTest : public ::testing::Test {
 protected:
  EngineAudioInputTest() {
    devices_.entries.push_back({{"Line In", audio::kFormat4S16}});
    input_.FindDevices();
    input_.Open(input_.FirstDevice());
    performer_.SetAudioInput(&engineAudio_);
    performer_.SetCaptureAudio(&engineAudio_);
  }
  ~EngineAudioInputTest() override { input_.Shutdown(); }

  // One buffer back from the device, then one pass of the render thread.
  void Pass(const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(devices_.state.ReturnNext(bytes));
    performer_.RunPass();
  }
  std::vector<float> Levels() const {
    std::vector<float> v;
    for (int band = 0; band < lv::AudioInput::kBandCount; ++band) v.push_back(engineAudio_.BandLevel(band));
    return v;
  }
  float BassPeak() const {
    const float* s = engineAudio_.Spectrum();
    return *std::max_element(s + 5, s + 11);
  }
  // The first loud hit after silence: bass 64 times its recent average.
  void Hit() {
    for (int i = 0; i < 6; ++i) Pass(signals::Silence());
    Pass(signals::Tone(7, 20000));
  }

  FakeWaveInDevices devices_;
  AudioInput input_{devices_};
  EngineAudioInput engineAudio_{input_};
  lv::Performer performer_;
  lvtest::ScratchFolder folder_;
};

TEST_F(EngineAudioInputTest, EveryPassAnalysesTheInputForItsReaders) {
  Hit();
  EXPECT_EQ(engineAudio_.Spectrum(), input_.GetSpectrum());
  EXPECT_GT(engineAudio_.Spectrum()[7], 0.0f);
  EXPECT_EQ(Levels(), (std::vector<float>{64, 32, 16, -63, -31, -15}));
  EXPECT_EQ(engineAudio_.Level(), 64.0f);
  EXPECT_EQ(engineAudio_.Beat(), 1.0f);
  EXPECT_EQ(engineAudio_.BandLevel(6), 0.0f);
  EXPECT_EQ(engineAudio_.BandLevel(-1), 0.0f);
}

TEST_F(EngineAudioInputTest, PlaybackTakesTheSpectrumFromTheFileAndTheStopGivesTheInputBack) {
  Hit();
  const std::vector<float> levels = Levels();
  const float hitPeak = BassPeak();
  const std::string path = folder_ / "show.midicap";
  lvtest::CaptureBytes{}
      .Spectrum(0.25f)
      .Event(lvtest::Message(0xF8), 0)
      .Spectrum(0.5f)
      .Event(lvtest::Message(0xF8), 1000)
      .Save(path);

  ASSERT_TRUE(performer_.StartPlayback(path, 29.97f, nullptr, nullptr));
  EXPECT_FALSE(input_.IsOpen());
  EXPECT_FALSE(devices_.state.ReturnNext(signals::Tone(7, 20000))) << "the device is closed";
  performer_.RunPass();
  EXPECT_EQ(engineAudio_.Spectrum()[0], 0.5f);
  EXPECT_EQ(engineAudio_.Spectrum()[1023], 0.5f);
  EXPECT_EQ(Levels(), levels) << "levels keep the values they had when the input closed";

  performer_.SetState(lv::Live);
  performer_.CloseCaptureFile();
  engineAudio_.ReopenInput();
  EXPECT_TRUE(input_.IsOpen());
  EXPECT_EQ(Levels(), levels);
  Pass(signals::Tone(7, 20000));
  // Two peaks in the history now; a history cleared by the playback would
  // give 64 again.
  const float peak = BassPeak();
  EXPECT_FLOAT_EQ(engineAudio_.Level(), peak / ((hitPeak + peak) / 64)) << "analysis resumes from its history";
}

TEST(EngineAudioInputWithoutDevice, ReadsSilenceAndReopensNothing) {
  FakeWaveInDevices devices;
  AudioInput input{devices};
  input.FindDevices();
  EngineAudioInput engineAudio{input};
  engineAudio.ProcessPass();
  engineAudio.CloseInput();
  engineAudio.ReopenInput();
  EXPECT_FALSE(input.IsOpen());
  EXPECT_EQ(engineAudio.Spectrum()[5], 0.0f);
  EXPECT_EQ(engineAudio.Level(), 0.0f);
  EXPECT_EQ(engineAudio.BandLevel(3), 0.0f);
  EXPECT_EQ(engineAudio.Beat(), 0.0f);
  input.Shutdown();
}

}  // namespace
