#pragma once
// Halts the render thread for the life of the object: on return from the
// constructor no pass is drawing, so devices and samplers the passes read
// can be stopped, restarted or made. The state before comes back after.
// A render thread that does not answer refuses the halt: the change that
// needed it is not made.
#include "performer/performer.h"

namespace ui {

class RenderHalt {
 public:
  explicit RenderHalt(lv::Performer* performer) : performer_(performer) {
    if (performer_ == nullptr) return;
    before_ = performer_->State();
    if (!performer_->SetState(lv::Halted)) {
      performer_ = nullptr;
      refused_ = true;
    }
  }
  ~RenderHalt() {
    if (performer_ != nullptr) performer_->SetState(before_);
  }
  RenderHalt(const RenderHalt&) = delete;
  RenderHalt& operator=(const RenderHalt&) = delete;

  // The render thread did not answer: nothing may change.
  bool Refused() const { return refused_; }

 private:
  lv::Performer* performer_;
  lv::PerformerState before_ = lv::Halted;
  bool refused_ = false;
};

}  // namespace ui
