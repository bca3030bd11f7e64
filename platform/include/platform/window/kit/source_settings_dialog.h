#pragma once
// The settings dialog of a plug-in with a source input: the source name in
// static 1012 with the "S&ource" chooser (1014), one check box per option
// bit, and the "Audio Parameters" box where the plug-in has volume and pan.
// A dialog opened without a source opens the chooser by itself, so a new
// patch starts by choosing its source. A source chosen here is kept even when
// the dialog is then cancelled; everything else changes only on OK.
#include <cstdint>
#include <span>

#include "lv/lorvane_interface.h"
#include "platform/window/dialog.h"
#include "platform/window/dialog_template.h"
#include "platform/window/kit/source_name.h"

namespace kit {

inline constexpr int kSourceNameStatic = 1012;
inline constexpr int kSourceButton = 1014;

// A check box and the option bit(s) it shows.
struct OptionCheckBox {
  int controlId;
  uint32_t bit;
};

struct SourceSettingsFields {
  lv::LorvaneInterface* host = nullptr;  // its SelectSource is the chooser
  SourceName* sourceName = nullptr;
  uint32_t* options = nullptr;
  uint8_t* volume = nullptr;  // null: no "Audio Parameters" box
  uint8_t* pan = nullptr;     // stored as 1..127 for -63..63
};

// What a plug-in adds to the shared dialog.
class SettingsDialogExtras {
 public:
  virtual ~SettingsDialogExtras() = default;
  // After the shared controls are set up.
  virtual void Init(window::Dialog&) {}
  // On OK, after the shared controls are read back.
  virtual void Apply(window::Dialog&) {}
  // A command the shared procedure does not handle; true when handled.
  virtual bool Command(window::Dialog&, int /*id*/, window::NotifyCode) { return false; }
  // A slider or scroll bar moved (msg::kHScroll or kVScroll; `w` the scroll
  // code and position, `control` the control's id); true when handled.
  virtual bool Scroll(window::Dialog&, window::MessageId /*message*/, window::WParam /*w*/, int /*control*/) {
    return false;
  }
};

// Runs the dialog modally; true when it ended with OK. False also when no
// dialog can be shown (no user interface, template missing).
bool RunSourceSettingsDialog(const window::DialogTemplateSet& templates, int templateId, lv::WindowHandle owner,
                             std::span<const OptionCheckBox> checkBoxes, const SourceSettingsFields& fields,
                             SettingsDialogExtras* extras = nullptr);

}  // namespace kit
