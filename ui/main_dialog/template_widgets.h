#pragma once
// Builds the controls of a dialog layout into a window of our own (the
// modeless main dialog and progress window), each named after its id.
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/window/dialog_template.h"
#include "platform/window/qt_dialog_layout.h"

namespace ui {

struct BuiltControl {
  int id = 0;
  window::ControlKind kind = window::ControlKind::kStatic;
  QWidget* widget = nullptr;
};

// Makes the widget for a control itself, or null for the standard one.
using CustomControl = std::function<QWidget*(const window::ControlTemplate&, QWidget* parent)>;

// Dialog units to pixels for `widget`'s font.
class DialogUnits : public window::DialogUnits {
 public:
  explicit DialogUnits(const QWidget& widget) : window::DialogUnits(widget.font()) {}
};

// Builds the controls and places them, grown where their texts need it;
// `parent` takes the layout's size.
std::vector<BuiltControl> BuildControls(const window::DialogTemplate& layout, QWidget* parent,
                                        const CustomControl& custom = {});

// Static texts use '&' as buttons do: "&&" shows one '&'.
QString StaticText(const QString& raw);

}  // namespace ui
