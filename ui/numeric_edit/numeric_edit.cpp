#include "numeric_edit/numeric_edit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace ui {
namespace {

// Characters no number field takes, whatever its kind.
constexpr char kForbidden[] = " @!#$%^&*()_+=|\\}]{[\"';:?/><,~`";

// The longest text a paste may bring.
constexpr int kMaxPaste = 256;

// A vertical move of more than this many pixels starts a drag.
constexpr int kDragThreshold = 3;

std::function<void()>& BeepHook() {
  static std::function<void()> hook;
  return hook;
}

// Where a number may start, as "%f" and "%d" read: after white space, with
// an optional plus sign.
const char* NumberStart(const std::string& text) {
  const char* p = text.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  if (*p == '+' && p[1] != '-' && p[1] != '+') ++p;
  return p;
}

}  // namespace

NumericEdit::NumericEdit(Kind kind, QWidget* parent) : QLineEdit(parent), kind_(kind) {
  // Dropped text would land unfiltered; a number field takes none.
  setAcceptDrops(false);
  SetFloatLimits(0.0f, 0.0f, 0.0f, 0.0f);
  SetIntegerLimits(0, 0, 0, 0);
}

void NumericEdit::SetBeep(std::function<void()> beep) { BeepHook() = std::move(beep); }

void NumericEdit::Beep() {
  if (BeepHook()) {
    BeepHook()();
  } else {
    QApplication::beep();
  }
}

void NumericEdit::SetFloatLimits(float smallStep, float largeStep, float minimum, float maximum) {
  if (smallStep == 0.0f) {
    smallStep = 1.0f;
    largeStep = 10.0f;
  }
  if (minimum == 0.0f && maximum == 0.0f) {
    minimum = std::numeric_limits<float>::lowest();
    maximum = std::numeric_limits<float>::max();
  }
  smallStep_ = smallStep;
  largeStep_ = largeStep;
  minimum_ = minimum;
  maximum_ = maximum;
}

void NumericEdit::SetIntegerLimits(int64_t smallStep, int64_t largeStep, int64_t minimum, int64_t maximum) {
  if (smallStep == 0) {
    smallStep = 1;
    largeStep = 10;
  }
  // The kind's own range, never the floats': the value is shown as an
  // integer of that kind.
  const int64_t lowest = kind_ == kUnsigned ? 0 : std::numeric_limits<int32_t>::min();
  const int64_t highest =
      kind_ == kUnsigned ? std::numeric_limits<uint32_t>::max() : std::numeric_limits<int32_t>::max();
  if (minimum == 0 && maximum == 0) {
    minimum = lowest;
    maximum = highest;
  }
  intSmallStep_ = smallStep;
  intLargeStep_ = largeStep;
  intMinimum_ = std::clamp(minimum, lowest, highest);
  intMaximum_ = std::clamp(maximum, lowest, highest);
}

void NumericEdit::SetFloat(float value) {
  // A value that is not a number shows as the minimum rather than "nan".
  value = std::isnan(value) ? minimum_ : std::clamp(value, minimum_, maximum_);
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 2);
  setText(QString::fromLatin1(buffer, static_cast<int>(result.ptr - buffer)));
}

void NumericEdit::ShowInteger(int64_t value) {
  value = std::clamp(value, intMinimum_, intMaximum_);
  setText(QString::number(value));
}

void NumericEdit::SetInt(int32_t value) { ShowInteger(value); }

void NumericEdit::SetUnsigned(uint32_t value) { ShowInteger(value); }

bool NumericEdit::ReadFloat(float& value) const {
  const std::string bytes = text().toStdString();
  const char* start = NumberStart(bytes);
  float read = 0.0f;
  const auto result = std::from_chars(start, bytes.c_str() + bytes.size(), read);
  // Infinities and NaN would poison whatever the owner computes from them.
  if (result.ec != std::errc{} || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool NumericEdit::ReadInteger(const QString& text, int64_t& value) {
  const std::string bytes = text.toStdString();
  const char* start = NumberStart(bytes);
  return std::from_chars(start, bytes.c_str() + bytes.size(), value).ec == std::errc{};
}

bool NumericEdit::ReadInt(int32_t& value) const {
  int64_t read = 0;
  if (!ReadInteger(text(), read) || read < std::numeric_limits<int32_t>::min() ||
      read > std::numeric_limits<int32_t>::max())
    return false;
  value = static_cast<int32_t>(read);
  return true;
}

NumericEdit::Selection NumericEdit::SavedSelection() const {
  Selection selection;
  selection.cursor = cursorPosition();
  if (hasSelectedText()) {
    selection.start = selectionStart();
    selection.length = static_cast<int>(selectedText().size());
  } else {
    selection.start = selection.cursor;
  }
  return selection;
}

void NumericEdit::Restore(const Selection& selection) {
  const int size = static_cast<int>(text().size());
  const int start = std::min(selection.start, size);
  const int length = std::min(selection.length, size - start);
  if (length <= 0) {
    setCursorPosition(std::min(selection.cursor, size));
  } else if (selection.cursor == selection.start) {
    setSelection(start + length, -length);  // the caret stays at the front
  } else {
    setSelection(start, length);
  }
}

void NumericEdit::Step(float floatDelta, int64_t intDelta) {
  const Selection saved = SavedSelection();
  if (IsFloatKind()) {
    float value = 0.0f;
    if (!ReadFloat(value)) return;
    float next = value + floatDelta;
    if (kind_ == kNonNegativeFloat && next < 0.0f) next = 0.0f;
    SetFloat(next);
  } else {
    int64_t value = 0;
    if (!ReadInteger(text(), value)) return;
    int64_t next = 0;
    if (__builtin_add_overflow(value, intDelta, &next))
      next = intDelta < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    if (kind_ == kUnsigned && next < 0) next = 0;
    ShowInteger(next);
  }
  changedByStepping_ = true;
  Restore(saved);
}

bool NumericEdit::StepByKey(const QKeyEvent& event) {
  const int key = event.key();
  const bool small = key == Qt::Key_Up || key == Qt::Key_Down;
  const bool large = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
  if ((!small && !large) || kind_ == kNonNegativeFloat) return false;
  const int sign = key == Qt::Key_Up || key == Qt::Key_PageUp ? 1 : -1;
  const float times = (event.modifiers() & Qt::ShiftModifier) ? 10.0f : 1.0f;
  Step(static_cast<float>(sign) * (small ? smallStep_ : largeStep_) * times,
       sign * (small ? intSmallStep_ : intLargeStep_));
  return true;
}

bool NumericEdit::Accepts(QChar c) const {
  const char16_t u = c.unicode();
  if (u >= 0x80) return true;
  const char ascii = static_cast<char>(u);
  if (ascii == '\0') return true;
  if ((ascii >= 'A' && ascii <= 'Z') || (ascii >= 'a' && ascii <= 'z') || std::strchr(kForbidden, ascii) != nullptr)
    return false;
  if (ascii != '.' && ascii != '-') return true;
  // The text as it will stand once the selection is replaced.
  QString outside = text();
  if (hasSelectedText()) outside.remove(selectionStart(), static_cast<int>(selectedText().size()));
  switch (kind_) {
    case kUnsigned: return false;
    case kInteger: return ascii == '-';
    case kNonNegativeFloat: return ascii == '.' && !outside.contains('.');
    case kFloat: return !outside.contains(c);
  }
  return true;
}

bool NumericEdit::AcceptsAll(const QString& typed) const {
  return std::all_of(typed.begin(), typed.end(), [this](QChar c) { return Accepts(c); });
}

void NumericEdit::FilteredPaste(QClipboard::Mode mode) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (mode == QClipboard::Selection && !clipboard->supportsSelection()) return;
  const QMimeData* data = clipboard->mimeData(mode);
  if (data == nullptr || !data->hasText()) return;
  const QString pasted = data->text();
  if (pasted.size() >= kMaxPaste || !AcceptsAll(pasted)) {
    Beep();
    return;
  }
  const Selection selection = SavedSelection();
  const QString before = text();
  setText(before.left(selection.start) + pasted + before.mid(selection.start + selection.length));
  setSelection(selection.start, static_cast<int>(pasted.size()));
}

std::vector<NumericEdit::MenuItem> NumericEdit::ContextMenuItems() const {
  const bool selected = hasSelectedText();
  return {{kUndo, "Undo", isUndoAvailable()},
          {kSeparator, nullptr, true},
          {kCut, "Cut", selected},
          {kCopy, "Copy", selected},
          {kPaste, "Paste", true},
          {kDelete, "Delete", selected},
          {kSeparator, nullptr, true},
          {kSelectAll, "Select All", true},
          {kSeparator, nullptr, true}};
}

void NumericEdit::RunMenuCommand(MenuCommand command) {
  switch (command) {
    case kUndo: undo(); break;
    case kCut: cut(); break;
    case kCopy: copy(); break;
    case kPaste: FilteredPaste(); break;
    case kDelete:
      if (hasSelectedText()) del();
      break;
    case kSelectAll: selectAll(); break;
    case kSeparator: break;
  }
}

void NumericEdit::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    FilteredPaste();
    return;
  }
  if (StepByKey(*event)) return;
  // Control combinations are commands (copy, select all), not characters.
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  const bool command = (modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier);
  const QString typed = event->text();
  if (!typed.isEmpty() && !command) {
    changedByStepping_ = false;
    if (!AcceptsAll(typed)) {
      Beep();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void NumericEdit::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QLineEdit::wheelEvent(event);
    return;
  }
  // Floats move by small × large per notch of 120; integers by 5.
  Step(static_cast<float>(delta) * smallStep_ * largeStep_ / 120.0f, delta / 24);
  event->accept();
}

void NumericEdit::mousePressEvent(QMouseEvent* event) {
  // The middle button would paste the X11 selection unfiltered on release.
  if (event->button() == Qt::MiddleButton) return;
  if (event->button() == Qt::LeftButton) {
    pressPoint_ = event->position().toPoint();
    pressed_ = true;
  }
  QLineEdit::mousePressEvent(event);
}

void NumericEdit::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ || dragging_) {
    const QPoint d = event->position().toPoint() - pressPoint_;
    const int dx = std::abs(d.x());
    const int dy = std::abs(d.y());
    if (pressed_) {
      if (dy > dx && dy > kDragThreshold) {
        pressed_ = false;
        dragging_ = true;
        lastDragOffset_ = 0;
      } else if (dx > dy && dx > kDragThreshold) {
        pressed_ = false;  // an ordinary text selection
      }
    } else {
      int y = d.y();
      if (event->modifiers() & Qt::ShiftModifier) y = y / 10 * 10;
      int delta = lastDragOffset_ - y;  // up makes the value grow
      if (reverseDrag_) delta = -delta;
      lastDragOffset_ = y;
      if (delta != 0) Step(static_cast<float>(delta) * smallStep_, delta);
    }
    if (dragging_) return;
  }
  QLineEdit::mouseMoveEvent(event);
}

void NumericEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::MiddleButton) {
    FilteredPaste(QClipboard::Selection);
    return;
  }
  if (event->button() == Qt::LeftButton) {
    pressed_ = false;
    dragging_ = false;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void NumericEdit::contextMenuEvent(QContextMenuEvent* event) {
  // The standard menu's Paste would skip the filter.
  QMenu menu(this);
  for (const MenuItem& item : ContextMenuItems()) {
    if (item.command == kSeparator) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromLatin1(item.text));
    action->setEnabled(item.enabled);
    action->setData(static_cast<int>(item.command));
  }
  if (QAction* chosen = menu.exec(event->globalPos()))
    RunMenuCommand(static_cast<MenuCommand>(chosen->data().toInt()));
}

void NumericEdit::inputMethodEvent(QInputMethodEvent* event) {
  const QString committed = event->commitString();
  if (!committed.isEmpty()) {
    changedByStepping_ = false;
    if (!AcceptsAll(committed)) {
      Beep();
      QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
      QLineEdit::inputMethodEvent(&withoutCommit);
      return;
    }
  }
  QLineEdit::inputMethodEvent(event);
}

void NumericEdit::dragEnterEvent(QDragEnterEvent* event) { event->ignore(); }
void NumericEdit::dragMoveEvent(QDragMoveEvent* event) { event->ignore(); }
void NumericEdit::dropEvent(QDropEvent* event) { event->ignore(); }

}  // namespace ui
