#include "main_dialog/template_widgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace ui {

QString StaticText(const QString& raw) {
  QString shown;
  for (qsizetype i = 0; i < raw.size(); ++i) {
    if (raw[i] == '&') {
      if (i + 1 < raw.size() && raw[i + 1] == '&') {
        shown += '&';
        ++i;
      }
      continue;
    }
    shown += raw[i];
  }
  return shown;
}

std::vector<BuiltControl> BuildControls(const window::DialogTemplate& layout, QWidget* parent,
                                        const CustomControl& custom) {
  using window::ControlKind;
  std::vector<BuiltControl> built;
  for (const window::ControlTemplate& control : layout.controls) {
    const QString text = QString::fromUtf8(control.text.c_str());
    QWidget* widget = custom ? custom(control, parent) : nullptr;
    if (widget == nullptr) {
      switch (control.kind) {
        case ControlKind::kButton: widget = new QPushButton(text, parent); break;
        case ControlKind::kCheckBox: widget = new QCheckBox(text, parent); break;
        case ControlKind::kGroupBox: widget = new QGroupBox(text, parent); break;
        case ControlKind::kEdit: {
          auto* edit = new QLineEdit(text, parent);
          edit->setReadOnly((control.style & window::kReadOnly) != 0);
          widget = edit;
          break;
        }
        case ControlKind::kHScrollBar: widget = new QScrollBar(Qt::Horizontal, parent); break;
        case ControlKind::kVScrollBar: widget = new QScrollBar(Qt::Vertical, parent); break;
        case ControlKind::kProgressBar: {
          auto* bar = new QProgressBar(parent);
          bar->setTextVisible(false);
          widget = bar;
          break;
        }
        default: {
          auto* label = new QLabel(StaticText(text), parent);
          label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
          widget = label;
          break;
        }
      }
    }
    widget->setObjectName(QString::number(control.id));
    if (control.kind == ControlKind::kGroupBox) widget->lower();
    if ((control.style & window::kDisabled) != 0) widget->setEnabled(false);
    if ((control.style & window::kHidden) != 0) widget->setVisible(false);
    built.push_back({control.id, control.kind, widget});
  }
  std::vector<QWidget*> widgets;
  for (const BuiltControl& control : built) widgets.push_back(control.widget);
  parent->setFixedSize(window::PlaceDialogControls(layout, widgets, parent->font()));
  return built;
}

}  // namespace ui
