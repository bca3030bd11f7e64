#pragma once
// What one MIDI note of a bank plays.
#include <cstdint>
#include <memory>

#include "lv/plug.h"
#include "modulation/param_binding.h"

namespace lv {

struct NoteSlot {
  static constexpr int32_t kScreen = -1;  // target: the back buffer

  // Empties the slot: deletes the patch, priority 0, the screen, no bindings.
  void Clear() {
    bindings.Attach(nullptr);
    patch.reset();
    priority = 0;
    target = kScreen;
  }

  std::unique_ptr<Plug> patch;  // deleted through its virtual destructor
  int8_t priority = 0;          // higher priorities draw later, on top
  int32_t target = kScreen;     // -1 the screen, n >= 0 work buffer n
  ParamBindingSet bindings;     // one record per parameter of the patch
  uint32_t shelfScroll = 0;     // knob shelf position; not saved
};

}  // namespace lv
