#pragma once
// The settings dialog of a FreeFrame patch: its source (chosen through the
// host) and a list of its text parameters with their current values.
#include <cstdint>
#include <string>
#include <vector>

#include "lv/lorvane_interface.h"
#include "platform/window/kit/source_name.h"

namespace ff {

struct TextParamRow {
  uint32_t index;  // the FreeFrame parameter index
  std::string value;
};

// True when the dialog ends with OK. The chosen source replaces `inputName`
// at once (it is opened at the next CreateDeviceObjects); with no source
// yet, the source chooser opens as soon as the dialog does.
bool RunFreeFrameDialog(lv::LorvaneInterface* host, lv::WindowHandle owner, kit::SourceName& inputName,
                        const std::vector<TextParamRow>& rows);

}  // namespace ff
