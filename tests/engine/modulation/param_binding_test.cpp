#include "modulation/param_binding.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "modulation/audio_input.h"
#include "modulation/midi_controller_table.h"
#include "test_plug.h"

namespace lv {
namespace {

constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

class FixedAudio : public AudioInput {
 public:
  void ProcessPass() override {}
  const float* Spectrum() const override { return spectrum; }
  float BandLevel(int band) const override { return band >= 0 && band < kBandCount ? bands[band] : 0.0f; }
  float Level() const override { return bands[0]; }
  float Beat() const override { return 0.0f; }
  float spectrum[kSpectrumLength] = {};
  float bands[kBandCount] = {};
};

class ParamBindingTest : public testing::Test {
 protected:
  ParamBindingTest() {
    plug.SetParams({{0, 100, 50, 0, 0, "Amount", nullptr}, {-5, 5, 0, 1, 0, "Shift", nullptr}});
    set.Attach(&plug);
    set.channel = 2;
  }

  // The value one record gives; false when it sets nothing.
  bool Value(const ParamBinding& binding, int32_t& value) {
    return ParamBindingSet::ValueOf(binding, set.channel, inputs, value);
  }
  static ParamBinding Binding(int32_t source, int32_t controller, int32_t min, int32_t max, int32_t lfo = 0) {
    ParamBinding b;
    b.source = source;
    b.controller = controller;
    b.min = min;
    b.max = max;
    b.lfo = lfo;
    return b;
  }

  lvtest::TestPlug plug{nullptr, "p"};
  ParamBindingSet set;
  MidiControllerTable table;
  LfoArray lfos{};
  FixedAudio audio;
  ModulationInputs inputs{&table, lfos.data(), &audio};
};

TEST_F(ParamBindingTest, AttachMakesOneRecordPerParameterSpanningItsRange) {
  ASSERT_EQ(set.Count(), 2);
  EXPECT_EQ(set.instance, &plug);
  EXPECT_EQ(set.records[1].info, &plug.params[1]);
  EXPECT_EQ(set.records[1].min, -5);
  EXPECT_EQ(set.records[1].max, 5);
  EXPECT_EQ(set.records[1].source, ParamBinding::None);
  EXPECT_EQ(set.records[1].controller, -1);
  set.Attach(nullptr);
  EXPECT_EQ(set.Count(), 0);
  EXPECT_EQ(set.instance, nullptr);
}

TEST_F(ParamBindingTest, ControllerSourcesMapOntoTheRange) {
  struct Case {
    const char* what;
    int controller;
    uint8_t high, low;  // controller values: [c] (or [k]) and, for 14 bits, [c+32] / pitch-bend LSB
    int32_t min, max, expected;
  };
  const Case cases[] = {
      {"7-bit top", 7, 127, 0, 0, 100, 99},          // (127 * 100 + 64) / 128
      {"7-bit middle", 7, 64, 0, 0, 100, 50},
      {"7-bit bottom", 7, 0, 0, 0, 100, 0},
      {"inverted bottom", 7, 0, 0, 100, 0, 100},
      {"inverted top", 7, 127, 0, 100, 0, 2},        // nearly max: division truncates toward zero
      {"pitch bend centre", 123, 64, 0, 0, 100, 50},
      {"pitch bend top", 123, 127, 127, 0, 100, 100},
      {"14-bit pair 5/37", 124 + 5, 127, 127, 0, 100, 100},
      {"14-bit pair low half", 124 + 5, 32, 0, 0, 1000, 250},
      {"wide range, bend centre", 123, 64, 0, kIntMin, kIntMax, 0},
      {"wide range, bend top", 123, 127, 127, kIntMin, kIntMax, 2147221503},
      {"wide range, 7-bit top", 7, 127, 0, 0, 1 << 30, 1065353216},
  };
  for (const Case& c : cases) {
    MidiControllerTable fresh;
    inputs.controllers = &fresh;
    if (c.controller < 123) {
      fresh.Set(2, c.controller, c.high);
    } else if (c.controller == 123) {
      fresh.Set(2, 123, c.high);
      fresh.Set(2, 124, c.low);
    } else {
      fresh.Set(2, c.controller - 124, c.high);
      fresh.Set(2, c.controller - 124 + 32, c.low);
    }
    fresh.Set(3, c.controller < 123 ? c.controller : 0, 99);  // another channel's values are not read
    int32_t value = -12345;
    ASSERT_TRUE(Value(Binding(ParamBinding::Controller, c.controller, c.min, c.max), value)) << c.what;
    EXPECT_EQ(value, c.expected) << c.what;
  }
}

TEST_F(ParamBindingTest, LfoSourceFollowsTheOutputWithoutClamping) {
  const struct {
    float output;
    int32_t expected;
  } cases[] = {{-1.0f, 10}, {1.0f, 110}, {0.0f, 60}, {1.5f, 135}, {-3.0f, -90}};
  for (const auto& c : cases) {
    lfos[42].output = c.output;
    int32_t value = 0;
    ASSERT_TRUE(Value(Binding(ParamBinding::LfoOutput, -1, 10, 110, 42), value));
    EXPECT_EQ(value, c.expected) << "output " << c.output;
  }
}

TEST_F(ParamBindingTest, BandSourceStaysBetweenItsEndsEvenWhenInverted) {
  const struct {
    float level;
    int32_t min, max, expected;
  } cases[] = {{0.5f, 0, 100, 50}, {1.2f, 0, 100, 100}, {-0.1f, 0, 100, 0},
               {0.25f, 100, 0, 75}, {1.2f, 100, 0, 0}, {-0.1f, 100, 0, 100}};
  for (const auto& c : cases) {
    audio.bands[4] = c.level;
    int32_t value = 0;
    ASSERT_TRUE(Value(Binding(ParamBinding::AudioBand, 4, c.min, c.max), value));
    EXPECT_EQ(value, c.expected) << "level " << c.level << " over " << c.min << ".." << c.max;
  }
  inputs.audio = nullptr;  // no audio input: every band reads 0
  int32_t value = -1;
  ASSERT_TRUE(Value(Binding(ParamBinding::AudioBand, 4, 20, 80), value));
  EXPECT_EQ(value, 20);
}

TEST_F(ParamBindingTest, RecordsWithoutAUsableSourceSetNothing) {
  const ParamBinding unusable[] = {
      Binding(ParamBinding::None, 7, 0, 100),        Binding(ParamBinding::Controller, -1, 0, 100),
      Binding(ParamBinding::Controller, 156, 0, 100), Binding(ParamBinding::LfoOutput, 0, 0, 100, 100),
      Binding(ParamBinding::LfoOutput, 0, 0, 100, -1), Binding(ParamBinding::AudioBand, 6, 0, 100),
      Binding(ParamBinding::AudioBand, -1, 0, 100),  Binding(9, 7, 0, 100),
  };
  for (const ParamBinding& binding : unusable) {
    set.records[0] = binding;
    plug.values[0] = 77;
    set.Apply(16, inputs);
    EXPECT_EQ(plug.values[0], 77) << "source " << binding.source << " index " << binding.controller << "/"
                                  << binding.lfo;
  }
  EXPECT_EQ(plug.setParamCalls, 0);
}

TEST_F(ParamBindingTest, ApplyAddsTheFrameTimeAndSetsBoundParameters) {
  table.Set(2, 1, 127);
  set.records[1].source = ParamBinding::Controller;
  set.records[1].controller = 1;
  set.time = 0;
  set.Apply(16, inputs);
  set.Apply(17, inputs);
  EXPECT_EQ(set.time, 33);
  EXPECT_EQ(plug.values[1], 5);  // -5 + (127 * 10 + 64) / 128
  EXPECT_EQ(plug.setParamCalls, 2);
}

}  // namespace
}  // namespace lv
