#pragma once
// "Select a Plug-in": every registered plug-in kind with its name, category
// and description, sortable by a click on a column header. It reopens on the
// kind chosen last, under the sort used last.
#include "main_dialog/main_dialog_services.h"
#include "platform/window/window_handle.h"

namespace ui {

struct PluginChooserMemory {
  int lastKind = 0;     // kind index chosen last
  int sortColumn = 0;   // 0 name, 1 category, 2 description
  int direction = 1;    // 1 ascending, -1 descending
};

// A plug-in kind index, or -1 when cancelled.
int RunPluginChooser(const PluginKinds& kinds, window::WindowHandle owner, PluginChooserMemory& memory);

// Negative, zero or positive as kind a sorts before, with or after kind b
// under the column and direction.
int ComparePluginKinds(lv::PlugDesc& a, lv::PlugDesc& b, int column, int direction);

}  // namespace ui
