#pragma once
// The main dialog's full-screen and file commands switch the display here.
#include "display/set_display.h"
#include "main_dialog/main_dialog_services.h"

namespace app {

class DisplayControl final : public ui::DisplayControl {
 public:
  explicit DisplayControl(lv::DisplaySwitch& display) : display_(display) {}
  void SetDisplay(bool fullScreen) override { display_.SetDisplay(fullScreen); }

 private:
  lv::DisplaySwitch& display_;
};

}  // namespace app
