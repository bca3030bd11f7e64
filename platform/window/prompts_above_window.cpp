#include "platform/window/prompts_above_window.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

namespace window {

PromptsAboveWindow::PromptsAboveWindow(QWidget* covering) : QObject(covering), covering_(covering) {
  qApp->installEventFilter(this);
}

PromptsAboveWindow::~PromptsAboveWindow() {
  if (qApp != nullptr) qApp->removeEventFilter(this);
}

bool PromptsAboveWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || !widget->isWindow() || !widget->isModal() || widget == covering_) return false;
  if (event->type() == QEvent::Show) {
    // The show event comes before the window is mapped: the window manager
    // sees the new owner from the start.
    if (covering_ && covering_->isVisible()) StackAbove(*widget);
  } else {
    // After the caller has had its answer: a prompt it opens next keeps the keys.
    QTimer::singleShot(0, this, [this] { GiveBackKeys(); });
  }
  return false;
}

void PromptsAboveWindow::StackAbove(QWidget& prompt) {
  QWindow* window = prompt.windowHandle();
  QWindow* above = covering_->windowHandle();
  if (window == nullptr || above == nullptr) return;
  QWindow* owner = window->transientParent();
  // A prompt of a prompt stays with the one it belongs to, already above.
  if (owner == above || (owner != nullptr && owner->modality() != Qt::NonModal && owner->isVisible())) return;
  // Qt sets the owner again from the widget's parent each time the window
  // is shown: a dialog shown again in the window belongs to its own owner.
  window->setTransientParent(above);
}

void PromptsAboveWindow::GiveBackKeys() {
  if (!covering_ || !covering_->isVisible() || QApplication::activeModalWidget() != nullptr) return;
  covering_->raise();
  covering_->activateWindow();
  covering_->setFocus();
}

}  // namespace window
