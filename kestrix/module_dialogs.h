#pragma once
// The settings-dialog layouts kept in this library's resources.
#include "platform/window/dialog_template.h"

namespace kestrix {

const window::DialogTemplateSet& ModuleDialogs();

}  // namespace kestrix
