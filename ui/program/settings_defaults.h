#pragma once
// The settings record as the defaults of new performances.
#include <functional>
#include <string>

#include "files/settings_file.h"
#include "main_dialog/main_dialog_services.h"
#include "platform/sys/log.h"

namespace app {

class SettingsDefaults final : public ui::SettingsDefaults {
 public:
  // `adapterCount` answers the display adapters present.
  SettingsDefaults(lv::Settings& settings, std::function<int()> adapterCount)
      : settings_(settings), adapterCount_(std::move(adapterCount)) {}
  lv::PerformanceSettings Defaults() const override {
    lv::PerformanceSettings defaults = settings_.ForNewPerformance();
    // A display adapter that is not there (another machine's settings) means the first.
    const int adapters = adapterCount_ ? adapterCount_() : 1;
    if (defaults.displayAdapter < 0 || defaults.displayAdapter >= adapters) defaults.displayAdapter = 0;
    return defaults;
  }
  void SaveDefaults(const lv::PerformanceSettings& s) override {
    settings_.channelMask = static_cast<uint16_t>(s.channelMask);
    settings_.driver = static_cast<uint8_t>(s.displayAdapter);
    settings_.width = static_cast<uint16_t>(s.width);
    settings_.height = static_cast<uint16_t>(s.height);
    settings_.bits = static_cast<uint16_t>(s.bitsPerPixel);
    settings_.refresh = static_cast<uint16_t>(s.refreshRate);
    settings_.workBuffers = static_cast<uint16_t>(s.workBuffers);
    settings_.npw2 = s.npw2;
    settings_.hold = s.hold;
    settings_.hide = s.hide;
    settings_.cust = s.cust;
    // The name may point into the record itself: copy before replacing.
    const std::string device = s.midiDevice != nullptr ? s.midiDevice : "";
    settings_.SetMidiDevice(s.midiDevice != nullptr ? device.c_str() : nullptr);
    if (!settings_.Save()) sys::Log("Settings could not be saved to %s", settings_.Path().c_str());
  }

 private:
  lv::Settings& settings_;
  std::function<int()> adapterCount_;
};

}  // namespace app
