#pragma once
// Dialog layouts kept as module resources of type "DIALOG" (resource id =
// template id), one text per layout:
//
//   # comment
//   DIALOG <width> <height> "<caption>"
//   <KIND> <id> <x> <y> <width> <height> ["<text>"] [flag ...]
//
// KIND is STATIC, BUTTON, CHECKBOX, RADIO, GROUPBOX, EDIT, COMBOBOX, LISTBOX,
// LISTVIEW, SPIN, SLIDER, HSCROLL, VSCROLL or PROGRESS; flags are default,
// group, readonly, multiline, disabled, hidden, number and buddy=<id>.
// Positions are dialog units. In a text, \" is a quote and \\ a backslash.
#include <optional>
#include <string>
#include <string_view>

#include "platform/sys/resources.h"
#include "platform/window/dialog_template.h"

namespace kit {

// Null when the text is not a layout; `error` then says which line is wrong.
std::optional<window::DialogTemplate> ParseDialogLayout(int templateId, std::string_view text,
                                                        std::string* error = nullptr);

// Every "DIALOG" resource of a module that parses (a broken one is logged and
// left out, so its dialog reports a missing template).
window::DialogTemplateSet LoadDialogLayouts(const sys::ResourceTable* module);

}  // namespace kit
