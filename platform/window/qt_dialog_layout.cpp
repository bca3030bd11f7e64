#include "platform/window/qt_dialog_layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>

namespace window {
namespace {

// A layout widens by at most this much; a text that still lacks room then
// shows where the layout itself must change.
constexpr double kMostStretch = 1.5;
// Rounds of widening: each takes the worst shortfall left by the last.
constexpr int kStretchRounds = 3;

int PushButtonWidthNeeded(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  if (button.isDefault()) option.features |= QStyleOptionButton::DefaultButton;
  if (button.autoDefault()) option.features |= QStyleOptionButton::AutoDefaultButton;
  const QFontMetrics metrics(button.font());
  const QSize text = metrics.size(Qt::TextShowMnemonic, button.text());
  // The frame and margins the style adds around a text; measured around a
  // wide one, as styles give a short text's button a minimum width besides.
  constexpr int kWide = 1000;
  const int frame =
      button.style()->sizeFromContents(QStyle::CT_PushButton, &option, QSize(kWide, text.height()), &button).width() -
      kWide;
  return text.width() + std::max(0, frame);
}

int LabelWidthNeeded(const QLabel& label) {
  const QString text = label.text();
  if (text.isEmpty()) return 0;
  const QFontMetrics metrics(label.font());
  const QMargins margins = label.contentsMargins();
  const int around = margins.left() + margins.right() + 2 * label.margin() + std::max(0, label.indent());
  if (!label.wordWrap()) return metrics.horizontalAdvance(text) + around;
  // A label that wraps needs its longest word on one line.
  int longest = 0;
  for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
    longest = std::max(longest, metrics.horizontalAdvance(word));
  }
  return longest + around;
}

bool OverlapDown(const QRect& a, const QRect& b) { return a.top() <= b.bottom() && b.top() <= a.bottom(); }

struct Placement {
  std::vector<QRect> areas;
  double worstShortfall = 1.0;  // the largest needed / given width left
};

Placement Place(const DialogTemplate& layout, const std::vector<QWidget*>& widgets, const std::vector<int>& needed,
                const DialogUnits& units) {
  Placement placement;
  const size_t count = std::min(widgets.size(), layout.controls.size());
  for (size_t i = 0; i < count; ++i) {
    QRect area = units.Area(layout.controls[i]);
    if (layout.controls[i].kind == ControlKind::kComboBox) area.setHeight(widgets[i]->sizeHint().height());
    placement.areas.push_back(area);
  }
  const int dialogRight = units.X(layout.width) - units.X(4);
  const int gap = units.X(2);
  std::vector<QRect> grown = placement.areas;
  for (size_t i = 0; i < count; ++i) {
    const QRect& area = placement.areas[i];
    if (needed[i] <= area.width()) continue;
    // Free room: up to the next control to the right on the same rows, the
    // inside of a group box that holds it, or the dialog's margin.
    int limit = std::max(dialogRight, area.right() + 1);
    for (size_t j = 0; j < count; ++j) {
      if (j == i) continue;
      const QRect& other = placement.areas[j];
      if (layout.controls[j].kind == ControlKind::kGroupBox && other.contains(area)) {
        limit = std::min(limit, std::max(area.right() + 1, other.right() + 1 - units.X(4)));
      } else if (OverlapDown(area, other) && other.left() > area.right()) {
        limit = std::min(limit, std::max(area.right() + 1, other.left() - gap));
      }
    }
    grown[i].setWidth(std::max(area.width(), std::min(needed[i], limit - area.left())));
    if (grown[i].width() > 0) {
      placement.worstShortfall = std::max(placement.worstShortfall, double(needed[i]) / grown[i].width());
    }
  }
  placement.areas = std::move(grown);
  return placement;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font, double stretchX) {
  const QFontMetrics metrics(font);
  const int average =
      (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
  baseX_ = std::max(1, average) * std::max(1.0, stretchX);
  baseY_ = std::max(1, metrics.height());
}

int DialogUnits::X(int units) const { return static_cast<int>(std::floor(units * baseX_ / 4.0 + 0.5)); }
int DialogUnits::Y(int units) const { return (units * baseY_ + 4) / 8; }

QRect DialogUnits::Area(const ControlTemplate& control) const {
  const int left = X(control.x);
  const int top = Y(control.y);
  return QRect(left, top, X(control.x + control.width) - left, Y(control.y + control.height) - top);
}

int TextWidthNeeded(const QWidget& control) {
  if (const auto* button = qobject_cast<const QPushButton*>(&control)) {
    return button->text().isEmpty() ? 0 : PushButtonWidthNeeded(*button);
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    // Check boxes and radio buttons: the style's box, spacing and margins.
    return button->text().isEmpty() ? 0 : button->sizeHint().width();
  }
  if (const auto* box = qobject_cast<const QGroupBox*>(&control)) {
    return box->title().isEmpty() ? 0 : box->minimumSizeHint().width();
  }
  if (const auto* label = qobject_cast<const QLabel*>(&control)) return LabelWidthNeeded(*label);
  return 0;
}

QSize PlaceDialogControls(const DialogTemplate& layout, const std::vector<QWidget*>& widgets, const QFont& font) {
  std::vector<int> needed;
  for (size_t i = 0; i < std::min(widgets.size(), layout.controls.size()); ++i) {
    needed.push_back(TextWidthNeeded(*widgets[i]));
  }
  double stretch = 1.0;
  Placement placement = Place(layout, widgets, needed, DialogUnits(font, stretch));
  for (int round = 0; round < kStretchRounds && placement.worstShortfall > 1.0 && stretch < kMostStretch; ++round) {
    stretch = std::min(kMostStretch, stretch * placement.worstShortfall);
    placement = Place(layout, widgets, needed, DialogUnits(font, stretch));
  }
  for (size_t i = 0; i < placement.areas.size(); ++i) widgets[i]->setGeometry(placement.areas[i]);
  const DialogUnits units(font, stretch);
  return QSize(units.X(layout.width), units.Y(layout.height));
}

QString ElidedPath(const QFontMetrics& metrics, const QString& text, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const qsizetype slash = std::max(text.lastIndexOf(QLatin1Char('/')), text.lastIndexOf(QLatin1Char('\\')));
  if (slash > 0) {
    // The folders give way first: the start of the path, an ellipsis, the name.
    const QString name = text.mid(slash);
    const int folderRoom = width - metrics.horizontalAdvance(name);
    if (folderRoom >= metrics.horizontalAdvance(QStringLiteral("\u2026"))) {
      const QString folders = metrics.elidedText(text.left(slash), Qt::ElideRight, folderRoom);
      if (metrics.horizontalAdvance(folders + name) <= width) return folders + name;
    }
  }
  return metrics.elidedText(text, Qt::ElideMiddle, width);
}

}  // namespace window
