#include "module_dialogs.h"

#include "platform/sys/resources.h"
#include "platform/window/kit/dialog_layout.h"

namespace kestrix {

const window::DialogTemplateSet& ModuleDialogs() {
  // Read once, from this library's table (not the program's).
  static const window::DialogTemplateSet layouts = kit::LoadDialogLayouts(sys::ThisModuleResources());
  return layouts;
}

}  // namespace kestrix
