#pragma once
// A started note, in the Performer's playing list.
#include <cstdint>

#include "lv/list.h"
#include "lv/plug.h"
#include "modulation/param_binding.h"

namespace lv {

struct ActiveNote : ListNode {
  Plug* patch = nullptr;                // the slot's patch (not owned)
  ParamBindingSet* bindings = nullptr;  // the slot's bindings (not owned)
  uint8_t note = 0;
  uint8_t channel = 0;
  int8_t priority = 0;
  int8_t target = -1;                   // -1 the back buffer, n work buffer n
};

}  // namespace lv
