#include "modulation/param_binding.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "modulation/audio_input.h"
#include "modulation/midi_controller_table.h"

namespace lv {
namespace {

// Wide parameter ranges (24-bit colours, say) times a 14-bit source overflow
// 32 bits, so the arithmetic runs in 64.
int32_t MapScaled(int32_t min, int32_t max, int64_t v, int64_t steps) {
  const int64_t range = int64_t{max} - int64_t{min};
  return static_cast<int32_t>(int64_t{min} + (v * range + steps / 2) / steps);
}

int32_t SaturateToInt(double value) {
  if (!(value == value)) return 0;
  return static_cast<int32_t>(std::clamp(value, double{std::numeric_limits<int32_t>::min()},
                                         double{std::numeric_limits<int32_t>::max()}));
}

}  // namespace

void ParamBindingSet::Resize(int32_t n) {
  records.clear();
  records.resize(static_cast<size_t>(std::max<int32_t>(n, 0)));
}

void ParamBindingSet::Attach(Plug* plug) {
  instance = plug;
  Resize(plug != nullptr ? plug->GetNumParams() : 0);
  for (int32_t i = 0; i < Count(); ++i) {
    ParamBinding& record = records[static_cast<size_t>(i)];
    record.info = plug->GetParamInfo(i);
    if (record.info != nullptr) {
      record.min = record.info->min;
      record.max = record.info->max;
    }
  }
}

bool ParamBindingSet::ValueOf(const ParamBinding& binding, uint8_t channel, const ModulationInputs& inputs,
                              int32_t& value) {
  const int32_t min = binding.min;
  const int32_t max = binding.max;
  switch (binding.source) {
    case ParamBinding::Controller: {
      const MidiControllerTable* table = inputs.controllers;
      const int32_t c = binding.controller;
      if (table == nullptr || channel >= MidiControllerTable::kChannels || c < 0 || c > ParamBinding::kLastPair)
        return false;
      if (c < ParamBinding::kPitchBend) {
        value = MapScaled(min, max, table->Get(channel, c), 128);
      } else if (c == ParamBinding::kPitchBend) {
        const int64_t v = table->Get(channel, MidiControllerTable::kPitchBendHigh) * 128 +
                          table->Get(channel, MidiControllerTable::kPitchBendLow);
        value = MapScaled(min, max, v, 16384);
      } else {
        const int k = c - ParamBinding::kFirstPair;
        const int64_t v = table->Get(channel, k) * 128 + table->Get(channel, k + 32);
        value = MapScaled(min, max, v, 16384);
      }
      return true;
    }
    case ParamBinding::LfoOutput: {
      if (inputs.lfos == nullptr || binding.lfo < 0 || binding.lfo >= kLfoCount) return false;
      // Scale and offset decide how much of the range is reached; nothing clamps.
      const double output = inputs.lfos[binding.lfo].output;
      const double lo = min;
      const double hi = max;
      value = SaturateToInt(lo + std::trunc((output + 1.0) * 0.5 * (hi - lo)));
      return true;
    }
    case ParamBinding::AudioBand: {
      const int32_t band = binding.controller;
      if (band < 0 || band >= AudioInput::kBandCount) return false;
      const double level = inputs.audio != nullptr ? inputs.audio->BandLevel(band) : 0.0;
      const double lo = min;
      const double hi = max;
      const double mapped = std::trunc((hi - lo) * level + lo);
      // Limited to the range between the two ends, whichever is larger, so an
      // inverted binding follows the band too.
      value = SaturateToInt(std::clamp(mapped, std::min(lo, hi), std::max(lo, hi)));
      return true;
    }
    default: return false;
  }
}

void ParamBindingSet::Apply(int32_t milliseconds, const ModulationInputs& inputs) {
  time += milliseconds;
  if (instance == nullptr) return;
  for (int32_t i = 0; i < Count(); ++i) {
    int32_t value = 0;
    if (ValueOf(records[static_cast<size_t>(i)], channel, inputs, value)) instance->SetParam(i, value);
  }
}

}  // namespace lv
