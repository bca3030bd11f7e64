#include "platform/window/ui_thread.h"

#include <QCoreApplication>
#include <QThread>

namespace window {

bool IsUiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app == nullptr || QThread::currentThread() == app->thread();
}

void RunOnUiThread(std::function<void()> work) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {
    work();
    return;
  }
  QMetaObject::invokeMethod(app, std::move(work), Qt::QueuedConnection);
}

}  // namespace window
