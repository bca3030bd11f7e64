#include "platform/window/modal_windows.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QThread>

namespace window {

bool InNestedEventLoop() { return QThread::currentThread()->loopLevel() > 1; }

bool CloseInnermostModal() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) return false;
  QPointer<QWidget> window = QApplication::activePopupWidget();
  if (window == nullptr) window = QApplication::activeModalWidget();
  if (window == nullptr) return false;
  window->close();
  // A message box without an answer for its close button keeps itself open:
  // it is rejected, which gives the answer nobody chose.
  if (auto* dialog = qobject_cast<QDialog*>(window.data()); dialog != nullptr && dialog->isVisible()) dialog->reject();
  return true;
}

}  // namespace window
