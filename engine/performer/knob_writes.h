#pragma once
// Knob turns and binding changes on their way from the user interface to the
// render thread: a small fixed table with one entry per parameter of a patch,
// in which the latest write of each field wins. The render thread makes them
// at the start of a pass, under the frame lock, so no pass sees a patch's
// parameters or bindings change while it applies or renders them.
#include <array>
#include <cstdint>
#include <mutex>

#include "lv/plug.h"
#include "modulation/param_binding.h"

namespace lv {

// A change to parameter `index` of a patch: only the fields named change.
struct KnobWrite {
  enum Field : uint8_t {
    kValue = 1,        // the patch's SetParam (index, value)
    kSource = 2,       // the binding's source
    kSourceIndex = 4,  // the binding's controller (or band) and LFO
  };

  Plug* patch = nullptr;
  ParamBindingSet* bindings = nullptr;
  int32_t index = 0;
  uint8_t fields = 0;
  int32_t value = 0;
  int32_t source = ParamBinding::None;
  int32_t controller = -1;
  int32_t lfo = 0;

  bool SameParameter(const KnobWrite& other) const {
    return patch == other.patch && bindings == other.bindings && index == other.index;
  }
  // Takes the fields `later` names, with their values.
  void Merge(const KnobWrite& later);
  // The binding first, then the value: a knob switched back to fixed sets the
  // value it shows, and no binding overwrites it.
  void Make() const;
};

class KnobWrites {
 public:
  // More parameters than anyone turns between two passes.
  static constexpr int kCapacity = 64;
  using Batch = std::array<KnobWrite, kCapacity>;

  // Keeps `write`, merged into the one waiting for the same parameter; false
  // when the table is full.
  bool Put(const KnobWrite& write);
  // Moves the waiting writes into `batch`, in the order their parameters were
  // first written; answers how many.
  int Take(Batch& batch);
  bool Empty() const;

 private:
  // A leaf lock, held only to copy entries (platform/gfx/device_lock.h).
  mutable std::mutex lock_;
  Batch writes_{};
  int count_ = 0;
};

}  // namespace lv
