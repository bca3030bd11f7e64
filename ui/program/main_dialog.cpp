#include "main_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "platform/window/qt_keys.h"

namespace app {

MainDialog::MainDialog(Handlers handlers) : handlers_(std::move(handlers)) {
  setObjectName("101");
  setWindowTitle("Lorvane GPU");
  auto* layout = new QVBoxLayout(this);
  outputArea_ = new OutputSurface(this);
  outputArea_->setObjectName("-1");
  outputArea_->setFixedSize(320, 240);
  outputArea_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(outputArea_);
  setFocusPolicy(Qt::StrongFocus);
}

void MainDialog::closeEvent(QCloseEvent* event) {
  if (handlers_.closing) handlers_.closing();
  event->accept();
}

void MainDialog::keyPressEvent(QKeyEvent* event) {
  if (handlers_.keyDown) handlers_.keyDown(window::VirtualKeyOf(*event), event->isAutoRepeat());
}

void MainDialog::keyReleaseEvent(QKeyEvent* event) {
  if (event->isAutoRepeat()) return;
  if (handlers_.keyUp) handlers_.keyUp(window::VirtualKeyOf(*event));
}

}  // namespace app
