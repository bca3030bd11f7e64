#include "platform/window/edit_filter.h"

#include <QApplication>
#include <QByteArray>
#include <QLineEdit>

#include "lv/text.h"
#include "platform/window/qt_window_handle.h"

namespace window {

int FilterEditChar(const char* rejected, int mode, Dialog& dialog, int editId) {
  // Writing the text back notifies the dialog again, whose procedure calls
  // here again; that call must not filter the character before the caret
  // that setText has just moved to the end.
  static thread_local bool writingBack = false;
  if (writingBack) return 0;
  QWidget* widget = WidgetOf(dialog.Handle());
  auto* edit = widget ? widget->findChild<QLineEdit*>(QString::number(editId)) : nullptr;
  if (!edit) return 0;

  const QString text = edit->text();
  const int caret = edit->hasSelectedText() ? edit->selectionEnd() : edit->cursorPosition();
  if (text.isEmpty() || caret <= 0 || caret > text.size()) return 0;
  // FilterChar works on one byte; a character beyond ASCII is several bytes
  // of UTF-8, which neither the case mapping nor a rejected set of ASCII
  // characters would touch.
  if (text[caret - 1].unicode() >= 0x80) return 0;

  QByteArray bytes = text.toUtf8();
  const int index = static_cast<int>(text.left(caret - 1).toUtf8().size());
  const int result = lv::FilterChar(mode, bytes.data(), index, rejected);
  if (result == 0) return 0;
  if (result == 2) QApplication::beep();
  writingBack = true;
  edit->setText(QString::fromUtf8(bytes.constData()));
  edit->setCursorPosition(result == 2 ? caret - 1 : caret);
  writingBack = false;
  return result;
}

}  // namespace window
