#pragma once
// What a user sees of a dialog's texts: every label, box, button and group
// title shows its whole text in the room its style leaves it, a path cut
// short keeps its file name with the whole path as its tooltip, a list's
// columns hold their entries, and no visible control covers another or lies
// outside the dialog.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <string>
#include <vector>

namespace uitest {

inline std::string Describe(const QWidget* widget) {
  return std::string(widget->metaObject()->className()) + " " + widget->objectName().toStdString();
}

inline std::string Quoted(const QString& text) { return "\"" + text.toStdString() + "\""; }

// The faults of one control's text; none for a control without one.
inline void TextFaultsOf(QWidget* widget, std::vector<std::string>* faults) {
  const QFontMetrics metrics(widget->font());
  auto fault = [&](const QString& text, const std::string& what) {
    faults->push_back(Describe(widget) + " " + Quoted(text) + ": " + what);
  };
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    const QString text = button->text();
    if (text.isEmpty()) return;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    const QStyle::SubElement element = qobject_cast<QCheckBox*>(button)      ? QStyle::SE_CheckBoxContents
                                       : qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents
                                                                             : QStyle::SE_PushButtonContents;
    const QRect room = button->style()->subElementRect(element, &option, button);
    const QSize needed = metrics.size(Qt::TextShowMnemonic, text);
    if (needed.width() > room.width() || needed.height() > room.height()) {
      fault(text, "needs " + std::to_string(needed.width()) + "x" + std::to_string(needed.height()) + ", has " +
                      std::to_string(room.width()) + "x" + std::to_string(room.height()));
    }
    return;
  }
  if (auto* box = qobject_cast<QGroupBox*>(widget)) {
    if (box->title().isEmpty()) return;
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.lineWidth = 1;
    const QRect label = box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    if (label.right() >= box->width() - 2) {
      fault(box->title(), "title ends at " + std::to_string(label.right()) + ", box is " + std::to_string(box->width()));
    }
    return;
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    const QString shown = label->text();
    if (shown.isEmpty()) return;
    const QRect room = label->contentsRect();
    if (label->wordWrap()) {
      if (label->heightForWidth(label->width()) > label->height()) fault(shown, "wraps past its bottom");
      return;
    }
    if (metrics.horizontalAdvance(shown) > room.width() || metrics.height() > room.height()) {
      fault(shown, "needs " + std::to_string(metrics.horizontalAdvance(shown)) + "x" +
                       std::to_string(metrics.height()) + ", has " + std::to_string(room.width()) + "x" +
                       std::to_string(room.height()));
    }
    // Shortened: only a path, keeping its file name, whole as the tooltip.
    const QString whole = label->toolTip();
    if (!whole.isEmpty() && whole != shown) {
      const qsizetype slash = whole.lastIndexOf(QLatin1Char('/'));
      if (slash < 0) fault(shown, "a text other than a path is shortened");
      if (slash >= 0 && !shown.endsWith(whole.mid(slash))) fault(shown, "loses the file name of " + Quoted(whole));
    }
    return;
  }
  if (auto* table = qobject_cast<QTableWidget*>(widget)) {
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    for (int column = 0; column < table->columnCount(); ++column) {
      for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* cell = table->item(row, column);
        if (cell == nullptr || cell->text().isEmpty()) continue;
        const int icon = cell->icon().isNull() ? 0 : table->iconSize().width() + margins;
        const int needed = table->fontMetrics().horizontalAdvance(cell->text()) + margins + icon;
        if (needed > table->columnWidth(column)) {
          fault(cell->text(), "column " + std::to_string(column) + " is " + std::to_string(table->columnWidth(column)) +
                                  " wide, needs " + std::to_string(needed));
        }
      }
    }
    return;
  }
  if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
    for (int column = 0; column < tree->columnCount(); ++column) {
      for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        const QString text = tree->topLevelItem(row)->text(column);
        // The view's own margins around a cell's text.
        const int needed = tree->fontMetrics().horizontalAdvance(text) +
                           2 * (tree->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree) + 1);
        if (needed > tree->columnWidth(column)) {
          fault(text, "column " + std::to_string(column) + " is " + std::to_string(tree->columnWidth(column)) +
                          " wide, needs " + std::to_string(needed));
        }
      }
    }
  }
}

// Every fault of `dialog`'s controls (its direct children: the layout's).
inline std::vector<std::string> DialogTextFaults(QWidget* dialog) {
  std::vector<std::string> faults;
  const QList<QWidget*> controls = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  for (QWidget* control : controls) TextFaultsOf(control, &faults);
  std::vector<QWidget*> shown;
  for (QWidget* control : controls) {
    if (control->isWindow() || !control->isVisibleTo(dialog)) continue;
    shown.push_back(control);
    if (!dialog->rect().contains(control->geometry())) {
      faults.push_back(Describe(control) + " lies outside the dialog");
    }
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const QRect a = shown[i]->geometry();
      const QRect b = shown[j]->geometry();
      if (!a.intersects(b)) continue;
      const bool heldByGroup = (qobject_cast<QGroupBox*>(shown[i]) != nullptr && a.contains(b)) ||
                               (qobject_cast<QGroupBox*>(shown[j]) != nullptr && b.contains(a));
      if (!heldByGroup) faults.push_back(Describe(shown[i]) + " overlaps " + Describe(shown[j]));
    }
  }
  return faults;
}

}  // namespace uitest
