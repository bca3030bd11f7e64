#pragma once
// The main dialog's "Options" runs the sheet over the program's MIDI
// devices, display adapters, capture devices, samplers and LFOs.
#include <functional>

#include "capture/capture_manager.h"
#include "display/d3d.h"
#include "files/settings_file.h"
#include "main_dialog/main_dialog_services.h"
#include "midi/midi_class.h"
#include "options/options_sheet.h"
#include "platform/window/qt_window_handle.h"
#include "sampler/sampler.h"

namespace app {

class OptionsSheetControl final : public ui::OptionsSheetControl, ui::OptionsMidiDevices, ui::OptionsDisplayModes {
 public:
  OptionsSheetControl(lv::Performer& performer, lv::Settings& settings, lv::MidiClass& midi, lv::D3D& d3d,
                      std::unique_ptr<builtin::CaptureManager>& captures, builtin::SamplerBank& samplers)
      : performer_(performer), settings_(settings), midi_(midi), d3d_(d3d), captures_(captures), samplers_(samplers) {}

  bool Show(lv::Performance& performance, window::WindowHandle owner) override {
    ui::OptionsSheetContext context{performance, {}, 0};
    context.services.performer = &performer_;
    context.services.settings = &settings_;
    context.services.midi = this;
    context.services.display = this;
    context.services.captures = captures_.get();
    context.services.samplers = &samplers_;
    context.services.lfos = &lv::LfoTable;
    ui::OptionsSheet sheet(context, window::WidgetOf(owner));
    if (shown) shown(sheet);
    sheet.exec();
    if (closed) closed();
    return context.Changed();
  }

  // For the end-to-end tests' geometry dumps: the sheet made, the sheet closed.
  std::function<void(ui::OptionsSheet&)> shown;
  std::function<void()> closed;

  // OptionsMidiDevices: looked up again, so a device plugged in since start-up is offered.
  std::vector<std::string> DeviceNames() override {
    midi_.Init();
    std::vector<std::string> names;
    for (int i = 0; i < midi_.Count(); ++i) names.push_back(midi_.DeviceName(i));
    return names;
  }

  // OptionsDisplayModes
  int AdapterCount() const override { return d3d_.AdapterCount(); }
  const lv::AdapterInfo& Adapter(int index) const override { return d3d_.Adapter(index); }
  uint32_t MaxSurfaceSize() const override { return d3d_.Caps().maxTextureWidth; }

 private:
  lv::Performer& performer_;
  lv::Settings& settings_;
  lv::MidiClass& midi_;
  lv::D3D& d3d_;
  std::unique_ptr<builtin::CaptureManager>& captures_;
  builtin::SamplerBank& samplers_;
};

}  // namespace app
