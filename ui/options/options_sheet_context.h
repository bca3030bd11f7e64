#pragma once
// What every page of the Options sheet works on during one opening: the
// performance being edited, the changed word all pages share, and the parts
// of the program the pages reach. The sheet makes one per opening and hands
// it to every page by reference; it outlives the pages.
#include <cstdint>
#include <string>
#include <vector>

#include "display/display_modes.h"
#include "modulation/lfo.h"
#include "performance/performance.h"

namespace builtin {
class CaptureManager;
struct SamplerBank;
}  // namespace builtin

namespace lv {
class Performer;
class Settings;
}  // namespace lv

namespace ui {

class OptionsPrompts;

// Bits of OptionsSheetContext::changed.
// Set by the controls of the MIDI, Video and Capture pages; the sheet reports
// it, and the caller then rebuilds the display and reopens MIDI.
inline constexpr uint32_t kOptionsChanged = 1u << 0;
// Set by LFO edits; never reported, so live LFO edits cause no rebuild.
inline constexpr uint32_t kOptionsLfosEdited = 1u << 1;

// The MIDI input devices as the MIDI layer lists them, in device order.
class OptionsMidiDevices {
 public:
  virtual ~OptionsMidiDevices() = default;
  virtual std::vector<std::string> DeviceNames() = 0;
};

// The display adapters with their modes, and the sizes a device can have.
class OptionsDisplayModes {
 public:
  virtual ~OptionsDisplayModes() = default;
  virtual int AdapterCount() const = 0;
  virtual const lv::AdapterInfo& Adapter(int index) const = 0;
  // The largest width or height a back buffer can have.
  virtual uint32_t MaxSurfaceSize() const = 0;
};

struct OptionsServices {
  // Notes are stopped through it, capture devices are started and stopped
  // with it halted, and LFO records are written under its frame lock.
  lv::Performer* performer = nullptr;
  // The program's settings record (the FreeFrame folder).
  lv::Settings* settings = nullptr;
  OptionsMidiDevices* midi = nullptr;
  OptionsDisplayModes* display = nullptr;
  builtin::CaptureManager* captures = nullptr;
  builtin::SamplerBank* samplers = nullptr;
  // The live LFO records the LFOs page edits in place.
  lv::LfoArray* lfos = nullptr;
  // Message boxes, the folder browser and the popup menus; null: the real ones.
  OptionsPrompts* prompts = nullptr;
};

struct OptionsSheetContext {
  lv::Performance& performance;
  OptionsServices services;
  uint32_t changed = 0;

  void SetChanged(uint32_t bits) { changed |= bits; }
  bool Changed() const { return (changed & kOptionsChanged) != 0; }
};

}  // namespace ui
