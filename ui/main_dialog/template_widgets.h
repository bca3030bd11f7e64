#pragma once
// Builds the controls of a dialog layout into a window of our own (the
// modeless main dialog and progress window), each named after its id.
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/window/dialog_template.h"

namespace ui {

struct BuiltControl {
  int id = 0;
  window::ControlKind kind = window::ControlKind::kStatic;
  QWidget* widget = nullptr;
};

// Makes the widget for a control itself, or null for the standard one.
using CustomControl = std::function<QWidget*(const window::ControlTemplate&, QWidget* parent)>;

// Dialog units to pixels for `parent`'s font.
class DialogUnits {
 public:
  explicit DialogUnits(const QWidget& widget);
  int X(int units) const { return (units * baseX_ + 2) / 4; }
  int Y(int units) const { return (units * baseY_ + 4) / 8; }
  QRect Area(const window::ControlTemplate& control) const;

 private:
  int baseX_ = 1;
  int baseY_ = 1;
};

std::vector<BuiltControl> BuildControls(const window::DialogTemplate& layout, QWidget* parent,
                                        const CustomControl& custom = {});

// Static texts use '&' as buttons do: "&&" shows one '&'.
QString StaticText(const QString& raw);

}  // namespace ui
