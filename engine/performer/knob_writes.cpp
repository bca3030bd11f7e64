#include "performer/knob_writes.h"

namespace lv {

void KnobWrite::Merge(const KnobWrite& later) {
  if (later.fields & kValue) value = later.value;
  if (later.fields & kSource) source = later.source;
  if (later.fields & kSourceIndex) {
    controller = later.controller;
    lfo = later.lfo;
  }
  fields |= later.fields;
}

void KnobWrite::Make() const {
  if ((fields & (kSource | kSourceIndex)) && bindings != nullptr && index >= 0 && index < bindings->Count()) {
    ParamBinding& binding = bindings->records[static_cast<size_t>(index)];
    if (fields & kSource) binding.source = source;
    if (fields & kSourceIndex) {
      binding.controller = controller;
      binding.lfo = lfo;
    }
  }
  if ((fields & kValue) && patch != nullptr) patch->SetParam(index, value);
}

bool KnobWrites::Put(const KnobWrite& write) {
  std::lock_guard lock(lock_);
  for (int i = 0; i < count_; ++i) {
    if (writes_[static_cast<size_t>(i)].SameParameter(write)) {
      writes_[static_cast<size_t>(i)].Merge(write);
      return true;
    }
  }
  if (count_ == kCapacity) return false;
  writes_[static_cast<size_t>(count_++)] = write;
  return true;
}

int KnobWrites::Take(Batch& batch) {
  std::lock_guard lock(lock_);
  const int count = count_;
  for (int i = 0; i < count; ++i) batch[static_cast<size_t>(i)] = writes_[static_cast<size_t>(i)];
  count_ = 0;
  return count;
}

bool KnobWrites::Empty() const {
  std::lock_guard lock(lock_);
  return count_ == 0;
}

}  // namespace lv
