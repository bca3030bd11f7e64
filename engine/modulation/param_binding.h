#pragma once
// Modulation of a patch's parameters while its note plays: each parameter can
// follow a MIDI controller of the note's channel, an LFO or an audio band.
#include <cstdint>
#include <vector>

#include "lv/param_info.h"
#include "lv/plug.h"
#include "modulation/lfo.h"

namespace lv {

class AudioInput;
class MidiControllerTable;

struct ParamBinding {
  enum Source : int32_t { None = 0, Controller = 1, LfoOutput = 2, AudioBand = 3 };
  // Controller numbers: 0-122 plain 7-bit controllers, 123 pitch bend,
  // 124-155 the 14-bit pairs (k, k + 32) for k = number - 124.
  static constexpr int32_t kPitchBend = 123;
  static constexpr int32_t kFirstPair = 124;
  static constexpr int32_t kLastPair = 155;

  const ParamInfo* info = nullptr;
  int32_t source = None;
  int32_t controller = -1;  // controller number, or band index (0-5) for AudioBand; -1 unset
  int32_t lfo = 0;          // index into the LFO table
  int32_t min = 0;          // value at the source's lowest value
  int32_t max = 100;        // value at its highest; below min inverts the mapping
};

// Where the sources' current values come from. A null audio input reads 0.
struct ModulationInputs {
  const MidiControllerTable* controllers = nullptr;
  const Lfo* lfos = nullptr;  // kLfoCount entries
  const AudioInput* audio = nullptr;
};

class ParamBindingSet {
 public:
  int32_t Count() const { return static_cast<int32_t>(records.size()); }

  // Drops the records and makes n default ones.
  void Resize(int32_t n);
  // Binds the set to `instance` (or none): one record per parameter, each
  // spanning the parameter's range, no source.
  void Attach(Plug* instance);
  // Adds `milliseconds` to the note's time and sets every bound parameter
  // from its source (render thread, once per frame before the patch renders).
  void Apply(int32_t milliseconds, const ModulationInputs& inputs);

  // The value a record gives for the current inputs, or false when it sets
  // nothing (no source, or an index its table does not have).
  static bool ValueOf(const ParamBinding& binding, uint8_t channel, const ModulationInputs& inputs,
                      int32_t& value);

  std::vector<ParamBinding> records;
  int32_t time = 0;           // ms since the note started
  Plug* instance = nullptr;   // the slot's patch (not owned)
  uint8_t channel = 0;        // MIDI channel of the note playing it
};

}  // namespace lv
