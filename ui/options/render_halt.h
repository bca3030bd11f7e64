#pragma once
// Halts the render thread for the life of the object: on return from the
// constructor no pass is drawing, so devices and samplers the passes read
// can be stopped, restarted or made. The state before comes back after.
#include "performer/performer.h"

namespace ui {

class RenderHalt {
 public:
  explicit RenderHalt(lv::Performer* performer) : performer_(performer) {
    if (performer_ == nullptr) return;
    before_ = performer_->State();
    performer_->SetState(lv::Halted);
  }
  ~RenderHalt() {
    if (performer_ != nullptr) performer_->SetState(before_);
  }
  RenderHalt(const RenderHalt&) = delete;
  RenderHalt& operator=(const RenderHalt&) = delete;

 private:
  lv::Performer* performer_;
  lv::PerformerState before_ = lv::Halted;
};

}  // namespace ui
